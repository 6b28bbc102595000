// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ItemOperations.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/MessageSink.h"
#include "led/AnimationConverter.h"
#include "led/GifReader.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "led/LedColours.h"
#include "led/LedOrder.h"
#include "led/PictureConverter.h"
#include "led/SourceFile.h"
#include "led/SourceLimits.h"
#include "led/TextConverter.h"
#include "led/Threshold.h"
#include "led/VideoClip.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemTemplate.h"
#include "model/ProjectQueries.h"

namespace glowdeck::item_ops {

namespace {

// Copies `file` over `target` (replacing it).
bool CopyOver(const QString& file, const QString& target, QString* error) {
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
        QFileInfo::exists(target))
        return true;
    QString why;
    if (!CopyFileAtomically(file, target, &why)) {
        *error = QCoreApplication::translate("ItemOperations", "无法复制 %1 到 %2：%3")
                     .arg(file, target, why);
        return false;
    }
    return true;
}

// Points the item at its new source file.
void AdoptId(CGlowdeckDoc& doc, int g, int i, const QString& id) {
    doc.ProjectFile()->SetAttr(g, i, "id", id);
    doc.RebuildPathTables(g, i);
}

// Copies the chosen source under a fresh id, which the item then takes; the
// edit removes the copy again when it fails.
EditResult CopyAndAdopt(CGlowdeckDoc& doc, CGlowdeckDoc::Edit& edit, int g, int i, ItemKind kind,
                        const QString& file) {
    const QString id = CProjectFile::GenerateId();
    const QString target = doc.SourceImagePathFor(kind, id);
    QString error;
    if (!CopyOver(file, target, &error)) return EditResult::Failed(error);
    edit.Wrote(target);
    AdoptId(doc, g, i, id);
    return EditResult::Done();
}

// Writes `image` as the item's file under a fresh id, which the item takes.
EditResult EncodeAndAdopt(CGlowdeckDoc& doc, CGlowdeckDoc::Edit& edit, int g, int i, ItemKind kind,
                          const QImage& image, const char* mimeType) {
    const QString id = CProjectFile::GenerateId();
    const QString target = doc.SourceImagePathFor(kind, id);
    QString error;
    if (!EncodeImage(image, target, QString::fromLatin1(mimeType), &error))
        return EditResult::Failed(
            QCoreApplication::translate("ItemOperations", "图像文件保存失败：\n%1\n%2")
                .arg(target, error));
    edit.Wrote(target);
    AdoptId(doc, g, i, id);
    return EditResult::Done();
}

// The longest frame delay a GIF stores, in hundredths of a second.
constexpr int MaxGifDelay = 0xFFFF;

// Writes frames as the item's GIF under a fresh id, which the item takes;
// transparent pixels are stored dark, as the ball shows them.
EditResult WriteFramesAndAdopt(CGlowdeckDoc& doc, CGlowdeckDoc::Edit& edit, int g, int i,
                               const std::vector<QImage>& frames, const std::vector<int>& delays) {
    std::vector<QImage> opaque;
    opaque.reserve(frames.size());
    for (const QImage& frame : frames) opaque.push_back(OnBlack(frame));
    QByteArray bytes;
    QString error;
    const QString id = CProjectFile::GenerateId();
    const QString target = doc.SourceImagePathFor(ItemKind::Animation, id);
    if (!EncodeGif(opaque, delays, 0, &bytes, &error) ||
        !WriteFileAtomically(target, bytes, &error))
        return EditResult::Failed(
            QCoreApplication::translate("ItemOperations", "图像文件保存失败：\n%1\n%2")
                .arg(target, error));
    edit.Wrote(target);
    AdoptId(doc, g, i, id);
    return EditResult::Done();
}

QString Refusal(const QString& file, const QString& reason) {
    return QCoreApplication::translate("ItemOperations", "无法使用 %1：%2").arg(file, reason);
}

// Runs an item operation on item (g, i): a damaged project becomes a
// failure that names the damage; any Edit begun inside has put everything
// back by then. A stored change is announced.
template <class Operation>
EditResult Guarded(CGlowdeckDoc& doc, int g, int i, Operation&& operation) {
    EditResult result;
    try {
        doc.CheckItemIds();
        result = operation();
    } catch (const AccessError& e) {
        return EditResult::Failed(DamagedProjectText(e));
    }
    if (result) doc.AnnounceItemChanged(g, i);
    return result;
}

// Keeps what a converter reports, for the operation's result.
class RecordingSink : public IMessageSink {
public:
    Answer Show(const QString& text, const QString&, Icon, Buttons) override {
        if (!text.isEmpty()) texts.push_back(text);
        return Answer::Ok;
    }
    QStringList texts;
};

// The edit that takes over a file prepared off the GUI thread under a fresh
// id: refused unless the file was made and is still where the item's id
// will point; `store` then makes the edit. A refused edit leaves no file
// behind, since the item never took the id.
template <class Store>
EditResult AdoptPrepared(CGlowdeckDoc& doc, int g, int i, ItemKind kind, bool made,
                         const QString& error, const QString& id, const QString& target,
                         Store&& store) {
    EditResult result = Guarded(doc, g, i, [&] {
        if (!made) return EditResult::Failed(error);
        if (doc.SourceImagePathFor(kind, id) != target || !QFileInfo::exists(target))
            return EditResult::Failed(
                QCoreApplication::translate("ItemOperations", "图像文件读取失败：\n%1")
                    .arg(target));
        return store();
    });
    if (!result && made) QFile::remove(target);
    return result;
}

}  // namespace

QImage LoadOrPlaceholder(const QString& path, int width, int height) {
    if (!QFileInfo::exists(path)) {
        QImage purple(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32);
        purple.fill(QColor(128, 0, 128));
        // Shown either way; a placeholder that could not be written is made
        // again the next time the item is shown.
        [[maybe_unused]] const bool written =
            EncodeImage(purple, path, QStringLiteral("image/jpeg"));
        return purple;
    }
    // Shown as the ball shows it: transparent pixels dark.
    return OnBlack(DecodeImage(path));
}

PreparedPicture PreparePictureSource(const QString& file, const QString& id, const QString& target,
                                     CPictureConverter* converter) {
    PreparedPicture prepared;
    prepared.id = id;
    prepared.target = target;
    // Load it as compile will before touching anything: a picture too wide
    // for the index or one that cannot be decoded is refused here, not at
    // compile time.
    CPictureConverter own;
    CPictureConverter& probe = converter ? *converter : own;
    if (!probe.LoadFile(file)) {
        prepared.error = Refusal(file, probe.LoadError());
        return prepared;
    }
    const QSize size = ImageFileSize(file);
    // A picture too narrow for one LED column is never decoded by compile;
    // still refuse one that cannot be.
    if ((probe.Width() == 0 && DecodeImageScaled(file, QSize(LedRows, LedRows)).isNull()) ||
        !size.isValid() || size.height() == 0) {
        prepared.error = Refusal(file, QStringLiteral("unreadable image data"));
        return prepared;
    }
    prepared.size = size;
    prepared.copied = CopyOver(file, target, &prepared.error);
    return prepared;
}

EditResult AdoptPictureSource(CGlowdeckDoc& doc, int g, int i, const PreparedPicture& prepared) {
    const auto store = [&] {
        CGlowdeckDoc::Edit edit(doc, EditKind::ChooseSource, g, i);
        edit.Wrote(prepared.target);
        AdoptId(doc, g, i, prepared.id);
        CProjectFile& project = *doc.ProjectFile();
        project.SetInt(g, i, "width", prepared.size.width());
        project.SetInt(g, i, "height", prepared.size.height());
        project.SetInt(g, i, "length", LedWidthFor(prepared.size));
        return edit.Commit();
    };
    return AdoptPrepared(doc, g, i, ItemKind::Picture, prepared.copied, prepared.error, prepared.id,
                         prepared.target, store);
}

EditResult SetPictureSource(CGlowdeckDoc& doc, int g, int i, const QString& file) {
    PreparedPicture prepared;
    try {
        // A damaged project is refused before anything is copied into it.
        doc.CheckItemIds();
        const QString id = CProjectFile::GenerateId();
        prepared = PreparePictureSource(file, id, doc.SourceImagePathFor(ItemKind::Picture, id));
    } catch (const AccessError& e) {
        return EditResult::Failed(DamagedProjectText(e));
    }
    return AdoptPictureSource(doc, g, i, prepared);
}

namespace {

// Stores an animation's size, frame count, lengths and delays on the item.
void StoreAnimation(CProjectFile& project, int g, int i, QSize size, std::vector<int> delays) {
    const int count = static_cast<int>(delays.size());
    const int ledWidth = LedWidthFor(size);
    for (int& d : delays) d = std::min(d, MaxGifDelay);
    project.SetInt(g, i, "width", size.width());
    project.SetInt(g, i, "height", size.height());
    project.SetInt(g, i, "framecount", count);
    project.SetInt(g, i, "length", ledWidth * count);
    project.SetInt(g, i, "flength", ledWidth);
    // A still picture has no frame delay to keep: its interval is 0.
    project.SetIntList(g, i, "interval", count > 1 ? delays : std::vector<int>{0});
}

QString FirstFramesNotice(int sourceFrames) {
    return QCoreApplication::translate("ItemOperations", "动画共 %1 帧，只使用前 %2 帧")
        .arg(sourceFrames)
        .arg(CAnimationConverter::MaxFrames);
}

// Decoded frames (of a WebP or a video) become the item's GIF, which compile
// and the ball read as any other.
EditResult AdoptDecodedFrames(CGlowdeckDoc& doc, int g, int i, const QString& file,
                              const SampledGif& decoded) {
    const QSize size = decoded.frames.front().size();
    if (const QString tooWide = LedWidthProblem(size); !tooWide.isEmpty())
        return EditResult::Failed(Refusal(file, tooWide));
    CGlowdeckDoc::Edit edit(doc, EditKind::ChooseSource, g, i);
    std::vector<int> delays = decoded.delays;
    for (int& d : delays) d = std::min(d, MaxGifDelay);
    if (EditResult written = WriteFramesAndAdopt(doc, edit, g, i, decoded.frames, delays); !written)
        return written;
    StoreAnimation(*doc.ProjectFile(), g, i, size, delays);
    return edit.Commit();
}

// An animated WebP: its frames (the first 50, or `frames` spread evenly).
EditResult SetDecodedAnimation(CGlowdeckDoc& doc, int g, int i, const QString& file, int frames,
                               QString* notice) {
    QString error;
    const bool spread = frames > 0;
    const std::optional<SampledGif> decoded = ReadDecodedAnimation(
        file,
        spread ? std::min(frames, CAnimationConverter::MaxFrames) : CAnimationConverter::MaxFrames,
        spread, &error);
    if (!decoded) return EditResult::Failed(Refusal(file, error));
    EditResult done = AdoptDecodedFrames(doc, g, i, file, *decoded);
    if (done && notice && !spread && decoded->sourceFrames > CAnimationConverter::MaxFrames)
        *notice = FirstFramesNotice(decoded->sourceFrames);
    return done;
}

// A video clip: the frames of `window`, spread evenly to `frames` (50 when
// 0) when it has more.
EditResult SetVideoAnimation(CGlowdeckDoc& doc, int g, int i, const QString& file, int frames,
                             const ClipWindow& window) {
    QString error;
    const std::optional<SampledGif> clip =
        ReadVideoClip(file, window,
                      frames > 0 ? std::min(frames, CAnimationConverter::MaxFrames)
                                 : CAnimationConverter::MaxFrames,
                      &error);
    if (!clip) return EditResult::Failed(Refusal(file, error));
    return AdoptDecodedFrames(doc, g, i, file, *clip);
}

}  // namespace

EditResult SetAnimationSource(CGlowdeckDoc& doc, int g, int i, const QString& file, int frames,
                              QString* notice, const ClipWindow& window) {
    return Guarded(doc, g, i, [&] {
        if (notice) notice->clear();
        if (IsVideoFile(file)) return SetVideoAnimation(doc, g, i, file, frames, window);
        // A file that cannot be opened is refused below, by what it is.
        if (CSourceFile source;
            source.Open(file, nullptr) && LooksLikeWebp(source.Device()->peek(12)))
            return SetDecodedAnimation(doc, g, i, file, frames, notice);
        QString error;
        const std::optional<GifFileInfo> info = ReadGifInfo(file, &error);
        if (!info || info->frameCount < 1)
            return EditResult::Failed(
                Refusal(file, !error.isEmpty() ? error : QStringLiteral("no frames")));
        // Decode the frames as compile will: a GIF too wide for the index or
        // whose frames cannot be decoded is refused before anything is touched.
        CAnimationConverter probe;
        if (!probe.LoadFile(file)) return EditResult::Failed(Refusal(file, probe.LoadError()));
        const QSize size = ImageFileSize(file);
        if (!size.isValid() || size.height() == 0)
            return EditResult::Failed(Refusal(file, QStringLiteral("unreadable image data")));
        const bool sample = frames > 0 && info->frameCount > frames;
        // The item's GIF: the chosen file, or its frames reduced evenly.
        std::optional<SampledGif> sampled;
        if (sample) {
            sampled =
                ReadSampledGif(file, std::min(frames, CAnimationConverter::MaxFrames), &error);
            if (!sampled) return EditResult::Failed(Refusal(file, error));
        }
        // Frames past one that cannot be decoded would compile dark: count
        // only the frames compile will show.
        const int count =
            sample
                ? static_cast<int>(sampled->frames.size())
                : std::min({info->frameCount, CAnimationConverter::MaxFrames, probe.FrameCount()});
        std::vector<int> delays = sample ? sampled->delays : info->delays;
        delays.resize(static_cast<size_t>(count));
        for (int& d : delays) d = std::min(d, MaxGifDelay);
        CGlowdeckDoc::Edit edit(doc, EditKind::ChooseSource, g, i);
        if (sample) {
            if (EditResult written = WriteFramesAndAdopt(doc, edit, g, i, sampled->frames, delays);
                !written)
                return written;
        } else if (EditResult copied = CopyAndAdopt(doc, edit, g, i, ItemKind::Animation, file);
                   !copied) {
            return copied;
        }
        StoreAnimation(*doc.ProjectFile(), g, i, size, delays);
        EditResult done = edit.Commit();
        if (done && notice && !sample && info->frameCount > CAnimationConverter::MaxFrames)
            *notice = FirstFramesNotice(info->frameCount);
        return done;
    });
}

PreparedText PrepareText(TextSettings s, QRgb threshold, const QString& id, const QString& target,
                         const std::atomic<bool>* cancelled,
                         const std::function<void(int percent)>& progress) {
    PreparedText prepared;
    prepared.id = id;
    prepared.target = target;
    // Reports a step done; true when the preparation is to stop there.
    auto stop = [&](int percent) {
        if (progress) progress(percent);
        if (!cancelled || !*cancelled) return false;
        prepared.cancelled = true;
        return true;
    };
    // What was written goes again unless the whole preparation succeeds.
    auto fail = [&](const QString& error) {
        QFile::remove(target);
        prepared.error = error;
        return prepared;
    };
    const QVector<uint> characters = s.text.toUcs4();
    prepared.cut = characters.size() > MaxTextCharacters;
    if (prepared.cut)
        s.text = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                                   MaxTextCharacters);
    prepared.settings = s;
    if (stop(0)) return prepared;
    TextRenderParams params;
    params.text = s.text;
    params.fontName = s.font;
    params.fontStyle = s.fontStyle;
    params.emSize = s.fontSize * 4 + 20;
    params.backColour = s.backColour;
    params.textColour = s.textColour;
    params.autoSpacing = s.autoSpacing;
    params.chineseOffset = s.chineseOffset;
    params.englishOffset = s.englishOffset;
    params.symbolOffset = s.symbolOffset;
    params.verticalOffset = s.verticalOffset;
    CTextConverter converter;
    RecordingSink said;
    if (!converter.RenderText(target, params, &said))
        return fail(said.texts.isEmpty()
                        ? QCoreApplication::translate("ItemOperations", "无法生成此种文字！")
                        : said.texts.join(QLatin1Char('\n')));
    if (stop(80)) return fail(QString());
    prepared.renderedStrip = converter.LedColourImage();
    // The strip as stored is what the item is: read it back.
    converter.Release();
    const QSize size = ImageFileSize(target);
    if (!size.isValid() || !converter.LoadFile(target))
        return fail(
            QCoreApplication::translate("ItemOperations", "图像文件读取失败：\n%1").arg(target));
    prepared.size = size;
    if (stop(85)) return fail(QString());
    // Convert with the item's thresholds; the converted picture replaces the
    // rendered one on disk. It is written losslessly: JPEG's colour
    // subsampling would turn thin coloured strokes into other colours.
    converter.SetThreshold(threshold);
    const bool converted = converter.Convert(BallConfig{});
    QString error;
    const bool written =
        converted && EncodeImage(converter.LedImage(), target, QStringLiteral("image/bmp"), &error);
    converter.Release();
    if (!written)
        return fail(QCoreApplication::translate("ItemOperations", "图像文件保存失败：\n%1\n%2")
                        .arg(target, error));
    if (stop(100)) return fail(QString());
    prepared.written = true;
    return prepared;
}

EditResult AdoptText(CGlowdeckDoc& doc, int g, int i, const PreparedText& prepared) {
    const auto store = [&] {
        CGlowdeckDoc::Edit edit(doc, EditKind::ConfirmText, g, i);
        edit.Wrote(prepared.target);
        CProjectFile& project = *doc.ProjectFile();
        const TextSettings& s = prepared.settings;
        project.SetAttr(g, i, "id", prepared.id);
        project.SetText(g, i, "text", s.text);
        project.SetText(g, i, "font", s.font);
        project.SetInt(g, i, "fontstyle", s.fontStyle);
        project.SetInt(g, i, "backcolor", static_cast<int>(s.backColour));
        project.SetInt(g, i, "textcolor", static_cast<int>(s.textColour));
        project.SetInt(g, i, "fontsize", s.fontSize);
        project.SetInt(g, i, "width", prepared.size.width());
        project.SetInt(g, i, "height", prepared.size.height());
        project.SetInt(g, i, "length", LedWidthFor(prepared.size));
        doc.RebuildPathTables();
        return edit.Commit();
    };
    return AdoptPrepared(doc, g, i, ItemKind::Text, prepared.written, prepared.error, prepared.id,
                         prepared.target, store);
}

// The thresholds a text item is converted with.
QRgb TextThreshold(const CProjectFile& project, int g, int i) {
    return ThresholdColour(project.GetInt(g, i, "r"), project.GetInt(g, i, "g"),
                           project.GetInt(g, i, "b"));
}

EditResult ConfirmText(CGlowdeckDoc& doc, int g, int i, TextSettings s, bool* cut,
                       QImage* renderedStrip) {
    PreparedText prepared;
    try {
        // A damaged project is refused before anything is rendered into it.
        doc.CheckItemIds();
        const QString id = CProjectFile::GenerateId();
        prepared = PrepareText(std::move(s), TextThreshold(*doc.ProjectFile(), g, i), id,
                               doc.SourceImagePathFor(ItemKind::Text, id));
    } catch (const AccessError& e) {
        return EditResult::Failed(DamagedProjectText(e));
    }
    if (cut) *cut = prepared.cut;
    EditResult result = AdoptText(doc, g, i, prepared);
    if (result && renderedStrip) *renderedStrip = prepared.renderedStrip;
    return result;
}

EditResult ApplyInterval(CGlowdeckDoc& doc, int g, int i, int length, unsigned backColour) {
    return Guarded(doc, g, i, [&] {
        length = std::clamp(length, MinIntervalLength, MaxIntervalLength);
        QImage blank(length, LedRows, QImage::Format_ARGB32);
        blank.fill(ColourFromBgr(backColour));
        CGlowdeckDoc::Edit edit(doc, EditKind::ApplyInterval, g, i);
        if (EditResult written =
                EncodeAndAdopt(doc, edit, g, i, ItemKind::Interval, blank, "image/jpeg");
            !written)
            return written;
        CProjectFile& project = *doc.ProjectFile();
        project.SetInt(g, i, "backcolor", static_cast<int>(backColour));
        project.SetInt(g, i, "length", length);
        return edit.Commit();
    });
}

EditResult ReplacePicture(CGlowdeckDoc& doc, int g, int i, const QImage& painted) {
    return Guarded(doc, g, i, [&] {
        if (painted.isNull() || painted.height() == 0)
            return EditResult::Failed(
                QCoreApplication::translate("ItemOperations", "没有可置换的图片"));
        CGlowdeckDoc::Edit edit(doc, EditKind::ReplacePicture, g, i);
        if (EditResult written =
                EncodeAndAdopt(doc, edit, g, i, ItemKind::Picture, painted, "image/bmp");
            !written)
            return written;
        CProjectFile& project = *doc.ProjectFile();
        project.SetInt(g, i, "width", painted.width());
        project.SetInt(g, i, "height", painted.height());
        project.SetInt(g, i, "length", LedWidthFor(painted.size()));
        return edit.Commit();
    });
}

EditResult StoreSettings(CGlowdeckDoc& doc, int g, int i, const ConversionSettings& settings) {
    return Guarded(doc, g, i, [&] {
        CGlowdeckDoc::Edit edit(doc, EditKind::Settings, g, i);
        CProjectFile& project = *doc.ProjectFile();
        project.SetInt(g, i, "r", std::clamp(settings.r, 0, 255));
        project.SetInt(g, i, "g", std::clamp(settings.green, 0, 255));
        project.SetInt(g, i, "b", std::clamp(settings.b, 0, 255));
        if (settings.loop) project.SetInt(g, i, "loop", *settings.loop);
        if (settings.speed) project.SetInt(g, i, "speed", *settings.speed);
        StoreDither(project, g, i, settings.dither);
        return edit.Commit();
    });
}

ConversionSettings ReadSettings(const CProjectFile& file, int g, int i) {
    ConversionSettings settings;
    settings.r = file.GetInt(g, i, "r");
    settings.green = file.GetInt(g, i, "g");
    settings.b = file.GetInt(g, i, "b");
    settings.dither = Dithers(file, g, i);
    if (KindFromElementName(file.ItemKindOf(g, i)) == ItemKind::Animation) {
        settings.loop = file.GetInt(g, i, "loop");
        settings.speed = file.GetInt(g, i, "speed");
    }
    return settings;
}

EditResult SetThresholds(CGlowdeckDoc& doc, int g, int i, int r, int green, int b) {
    return Guarded(doc, g, i, [&] {
        ConversionSettings settings = ReadSettings(*doc.ProjectFile(), g, i);
        settings.r = r;
        settings.green = green;
        settings.b = b;
        return StoreSettings(doc, g, i, settings);
    });
}

namespace {
constexpr char kDither[] = "dither";
}  // namespace

void StoreDither(CProjectFile& file, int g, int i, bool on) {
    if (!CanDither(file, g, i) || Dithers(file, g, i) == on) return;
    if (on)
        file.SetOptionalText(g, i, kDither, QStringLiteral("1"));
    else
        file.RemoveProperty(g, i, kDither);
}

EditResult SetDither(CGlowdeckDoc& doc, int g, int i, bool on) {
    return Guarded(doc, g, i, [&] {
        CProjectFile& project = *doc.ProjectFile();
        if (!CanDither(project, g, i))
            return EditResult::Failed(QStringLiteral("only picture and animation items dither"));
        if (Dithers(project, g, i) == on) return EditResult::Done();  // nothing to write
        CGlowdeckDoc::Edit edit(doc, EditKind::Settings, g, i);
        StoreDither(project, g, i, on);
        return edit.Commit();
    });
}

std::optional<unsigned> ParseColour(const QString& text) {
    for (const NamedLedColour& colour : LedColours())
        if (text.compare(QLatin1String(colour.name), Qt::CaseInsensitive) == 0) return colour.bgr;
    bool ok = false;
    const unsigned value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                               ? text.mid(2).toUInt(&ok, 16)
                               : text.toUInt(&ok, 10);
    if (!ok || value > 0xFFFFFF) return std::nullopt;
    return value;
}

}  // namespace glowdeck::item_ops
