// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CViewTxt.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextCursor>
#include <QTextDocument>

#include "base/AccessError.h"
#include "editors/CColorComboBox.h"
#include "editors/CFontColourDlg.h"
#include "editors/CPictureFrame.h"
#include "editors/PreviewWorker.h"
#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "led/TextPainter.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/ItemTemplate.h"

namespace glowdeck {

CViewTxt::CViewTxt(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup, QWidget* parent)
    : CItemView(doc, ItemKind::Text, group, position, std::move(showGroup), parent) {
    setObjectName(QStringLiteral("viewTxt"));
    auto* layout = new QGridLayout(this);
    AddIdRow(layout);
    textFrame_ = NewFrame(QStringLiteral("ORG"));
    ledFrame_ = NewFrame(QStringLiteral("LED"));
    layout->addWidget(Framed(textFrame_, tr("文字图像")), 1, 0);
    layout->addWidget(Framed(ledFrame_, tr("LED图像")), 2, 0);

    auto* editBox = new QGroupBox(tr("编辑"), this);
    auto* eg = new QGridLayout(editBox);
    edit_ = new QPlainTextEdit(editBox);
    edit_->setObjectName(QStringLiteral("text"));
    edit_->setMaximumHeight(80);
    eg->addWidget(edit_, 0, 0, 1, 4);
    face_ = new QLineEdit(editBox);
    face_->setReadOnly(true);
    auto* changeFont = new QPushButton(tr("更改字体"), editBox);
    changeFont->setObjectName(QStringLiteral("changeFont"));
    eg->addWidget(face_, 1, 0, 1, 3);
    eg->addWidget(changeFont, 1, 3);
    textColour_ = new CColorComboBox(editBox);
    backColour_ = new CColorComboBox(editBox);
    eg->addWidget(new QLabel(tr("文字"), editBox), 2, 0);
    eg->addWidget(textColour_, 2, 1);
    eg->addWidget(new QLabel(tr("背景"), editBox), 2, 2);
    eg->addWidget(backColour_, 2, 3);
    auto* automatic = new QRadioButton(tr("自动间距"), editBox);
    auto* manual = new QRadioButton(tr("手动间距"), editBox);
    spacing_ = new QButtonGroup(this);
    spacing_->addButton(automatic, 1);
    spacing_->addButton(manual, 0);
    automatic->setChecked(true);
    eg->addWidget(automatic, 3, 0, 1, 2);
    eg->addWidget(manual, 3, 2, 1, 2);
    const char* names[] = {QT_TR_NOOP("纵向偏移"), QT_TR_NOOP("中文偏移"), QT_TR_NOOP("英文偏移"),
                           QT_TR_NOOP("中文符号偏移")};
    for (int k = 0; k < 4; ++k) {
        eg->addWidget(new QLabel(tr(names[k]), editBox), 4 + k, 0);
        offsets_[k] = new QSlider(Qt::Horizontal, editBox);
        offsets_[k]->setRange(-TextOffsetTenths[k], TextOffsetTenths[k]);
        offsets_[k]->setValue(0);
        offsets_[k]->setObjectName(QStringLiteral("offset%1").arg(k));
        // The offset in pixels, bound to the slider's tenths both ways.
        offsetTexts_[k] = new QDoubleSpinBox(editBox);
        offsetTexts_[k]->setObjectName(QStringLiteral("offsetValue%1").arg(k));
        offsetTexts_[k]->setDecimals(1);
        offsetTexts_[k]->setSingleStep(0.1);
        offsetTexts_[k]->setRange(-TextOffsetLimit(k), TextOffsetLimit(k));
        offsetTexts_[k]->setKeyboardTracking(false);
        offsetTexts_[k]->setMaximumWidth(90);
        eg->addWidget(offsets_[k], 4 + k, 1, 1, 2);
        eg->addWidget(offsetTexts_[k], 4 + k, 3);
        connect(offsets_[k], &QSlider::valueChanged, this, [this, k](int tenths) {
            offsetTexts_[k]->setValue(tenths * 0.1);
            doc_.NoteEditorChange();
        });
        connect(offsetTexts_[k], &QDoubleSpinBox::valueChanged, offsets_[k],
                [slider = offsets_[k]](double value) { slider->setValue(qRound(value * 10)); });
    }
    auto* confirm = new QPushButton(tr("确定"), editBox);
    confirm->setObjectName(QStringLiteral("confirm"));
    eg->addWidget(confirm, 8, 3);
    progress_ = new QProgressBar(editBox);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 100);
    progress_->setValue(100);
    eg->addWidget(progress_, 8, 0, 1, 3);
    previews_ = new CPreviewWorker(this);
    connect(previews_, &CPreviewWorker::Progressed, progress_, &QProgressBar::setValue);
    layout->addWidget(editBox, 1, 1, 2, 1);
    AddInfoRows(layout);

    connect(confirm, &QPushButton::clicked, this, [this] {
        text_ = edit_->toPlainText();
        Confirm();
    });
    // A choice counts even when the chosen entry is the one shown; filling
    // the lists from the item is no choice.
    connect(textColour_, &QComboBox::activated, this, [this] {
        textColourValue_ = textColour_->Colour();
        doc_.NoteEditorChange();
    });
    connect(backColour_, &QComboBox::activated, this, [this] {
        backColourValue_ = backColour_->Colour();
        doc_.NoteEditorChange();
    });
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
        if (KeepWithinLimit()) QApplication::beep();
        doc_.NoteEditorChange();
    });
    connect(changeFont, &QPushButton::clicked, this, &CViewTxt::ChangeFont);
    if (!Initialise()) ErrorBeeps();
}

void CViewTxt::ChangeFont() {
    // The default face is not installed: the dialog shows the face that draws it.
    QFont initial = QFont(IsSongFace(font_) ? SongFallbackFamily() : font_);
    initial.setPointSize(std::max(fontSize_, 1));
    // Every stored style bit, the weight included: a dialog confirmed
    // unchanged gives the style back as it was.
    ApplyStyleBits(initial, fontStyle_);
    // The view's text colour when the list has it, else the list's colour.
    CFontColourDlg dialog(initial, textColour_->Colour(), this);
    dialog.Colours()->SelectColour(textColourValue_);
    if (dialog.exec() != QDialog::Accepted) return;
    const QFont chosen = dialog.SelectedFont();
    int style = StyleBitsOf(chosen);
    // Bold or italic left as the chooser showed them keep their stored value:
    // the chooser cannot show a style the face only has drawn synthetically.
    const int shown = StyleBitsOf(dialog.PresetAsShown());
    for (const int bit : {StyleBold, StyleItalic})
        if ((style & bit) == (shown & bit)) style = (style & ~bit) | (fontStyle_ & bit);
    // Keeping the drawing face of the default face keeps the default face.
    const bool keepSong = IsSongFace(font_) && chosen.family() == SongFallbackFamily();
    SetFont(keepSong ? font_ : chosen.family(), chosen.pointSize(), style);
    textColourValue_ = dialog.Colour();
    textColour_->SelectColour(textColourValue_);
}

QString CViewTxt::OffsetText(int k) const {
    return QString::asprintf("%2.1f", offsets_[k]->value() * 0.1);
}

bool CViewTxt::Initialise() {
    try {
        const CProjectFile& file = *doc_.ProjectFile();
        ReadSource();
        width_ = file.GetInt(g_, i_, "width");
        height_ = file.GetInt(g_, i_, "height");
        text_ = file.GetText(g_, i_, "text");
        font_ = file.GetText(g_, i_, "font");
        fontStyle_ = file.GetInt(g_, i_, "fontstyle");
        backColourValue_ = static_cast<unsigned>(file.GetInt(g_, i_, "backcolor"));
        textColourValue_ = static_cast<unsigned>(file.GetInt(g_, i_, "textcolor"));
        fontSize_ = file.GetInt(g_, i_, "fontsize");
    } catch (const AccessError&) {
        return false;
    }
    {
        const QSignalBlocker block(edit_);
        edit_->setPlainText(text_);
        if (KeepWithinLimit()) text_ = edit_->toPlainText();
    }
    face_->setText(font_);
    characters_ = static_cast<int>(text_.toUcs4().size());
    LoadTextImage();
    backColour_->SelectColour(backColourValue_);
    textColour_->SelectColour(textColourValue_);
    return true;
}

CViewTxt::Shown CViewTxt::ShownText(const QImage& picture, const QImage& rendered) {
    Shown shown;
    shown.size = picture.size();
    shown.ledWidth = LedWidthFor(shown.size);
    const int ledWidth = std::max(shown.ledWidth, 1);
    const QImage text = rendered.isNull() ? picture : rendered;
    shown.text = text.height() == 56 ? text.copy(0, 0, shown.ledWidth, 56)
                                     : MakeThumbnail(text, ledWidth, 56);
    shown.led = MakeThumbnail(picture, ledWidth, 56);
    return shown;
}

void CViewTxt::LoadTextImage() {
    const Shown shown =
        ShownText(item_ops::LoadOrPlaceholder(sourcePath_, std::max(ledWidth_, 1), 56), QImage());
    ShowText(shown);
    ShowLed(shown.led);
}

void CViewTxt::ShowText(const Shown& shown) {
    width_ = shown.size.width();
    height_ = shown.size.height();
    ledWidth_ = shown.ledWidth;
    textFrame_->SetImage(shown.text);
    textFrame_->Fit(112);
    FillInfo();
}

void CViewTxt::ShowLed(const QImage& led) {
    ledFrame_->SetImage(led);
    ledFrame_->Fit(112);
}

void CViewTxt::FillInfo() {
    SetInfo({tr("文字长度=%1").arg(characters_), tr("源图像宽度=%1").arg(width_),
             tr("源图像高度=%1").arg(height_), tr("LED图像宽度=%1").arg(ledWidth_),
             tr("LED图像高度=56"), tr("文件路径：%1").arg(sourcePath_)});
}

bool CViewTxt::KeepWithinLimit() {
    const QString text = edit_->toPlainText();
    qsizetype excess = text.toUcs4().size() - item_ops::MaxTextCharacters;
    if (excess <= 0) return false;
    // Steps back over `excess` characters from `position`, a surrogate pair
    // counting as one.
    auto back = [&](int position) {
        for (; excess > 0 && position > 0; --excess)
            position -= (position > 1 && text[position - 1].isLowSurrogate() &&
                         text[position - 2].isHighSurrogate())
                            ? 2
                            : 1;
        return position;
    };
    // What was typed or pasted ends at the cursor: the characters before it
    // go first. A text set at once (the cursor at the start) loses its end.
    const int cursorAt = edit_->textCursor().position();
    const int from = back(cursorAt);
    const int endFrom = back(static_cast<int>(text.size()));
    QTextCursor cut(edit_->document());
    cut.beginEditBlock();
    for (const auto& [start, end] :
         {std::pair(endFrom, static_cast<int>(text.size())), std::pair(from, cursorAt)}) {
        cut.setPosition(start);
        cut.setPosition(end, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    cut.endEditBlock();
    return true;
}

void CViewTxt::SetText(const QString& text) {
    edit_->setPlainText(text);
    text_ = edit_->toPlainText();
}

void CViewTxt::SetFont(const QString& face, int pointSize, int style) {
    font_ = face;
    fontSize_ = pointSize;
    fontStyle_ = style;
    face_->setText(face);
    doc_.NoteEditorChange();
}

bool CViewTxt::Confirm() {
    item_ops::TextSettings s;
    s.text = text_;
    s.font = font_;
    s.fontStyle = fontStyle_;
    s.fontSize = fontSize_;
    // The stored colours stay unless the user chose others (a stored colour
    // may be none of the eight the lists show).
    s.textColour = textColourValue_;
    s.backColour = backColourValue_;
    s.autoSpacing = spacing_->checkedId() == 1;
    s.verticalOffset = offsets_[0]->value() * 0.1;
    s.chineseOffset = offsets_[1]->value() * 0.1;
    s.englishOffset = offsets_[2]->value() * 0.1;
    s.symbolOffset = offsets_[3]->value() * 0.1;
    // The text box holds at most 200 characters: nothing is cut here.
    QString id, target;
    QRgb threshold = 0;
    try {
        // A damaged project is refused before anything is rendered into it.
        doc_.CheckItemIds();
        threshold = item_ops::TextThreshold(*doc_.ProjectFile(), g_, i_);
        id = CProjectFile::GenerateId();
        target = doc_.SourceImagePathFor(ItemKind::Text, id);
    } catch (const AccessError& e) {
        previews_->Cancel();
        progress_->setValue(100);
        Done(EditResult::Failed(DamagedProjectText(e)));
        return false;
    }
    progress_->setValue(0);
    previews_->Start([this, s, threshold, id, target](const std::atomic<bool>& cancelled,
                                                      const CPreviewWorker::Progress& progress) {
        // The file goes again unless the edit on the GUI thread takes it.
        auto file = std::make_shared<CPreparedFile>(target);
        const item_ops::PreparedText prepared =
            item_ops::PrepareText(s, threshold, id, target, &cancelled, progress);
        if (prepared.cancelled) return CPreviewWorker::Apply();
        // The frames show the file as stored and the strip as rendered.
        Shown shown;
        if (prepared.written)
            shown = ShownText(item_ops::LoadOrPlaceholder(target, 1, 56), prepared.renderedStrip);
        if (cancelled) return CPreviewWorker::Apply();
        return CPreviewWorker::Apply([this, prepared, shown, file] {
            file->Keep();  // the edit keeps it or removes it
            progress_->setValue(100);
            if (!Done(item_ops::AdoptText(doc_, g_, i_, prepared))) return;
            // The stored text is shown in the GUI thread's next turn.
            previews_->Then([this, shown, characters = prepared.settings.text.toUcs4().size()] {
                characters_ = static_cast<int>(characters);
                try {
                    ReadSource();
                } catch (const AccessError&) {
                    ErrorBeeps();
                    return;
                }
                ShowText(shown);
                previews_->Then([this, led = shown.led] {
                    ShowLed(led);
                    RefreshList();
                });
            });
        });
    });
    return true;
}

}  // namespace glowdeck
