#include "editors/CItemPreviewView.h"

#include <QGridLayout>
#include <QLabel>

#include "led/AnimationConverter.h"
#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "led/Threshold.h"
#include "model/AccessError.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"

namespace glowdeck {

CItemPreviewView::CItemPreviewView(CGlowdeckDoc& doc, int group, int position, int ballType, int layer,
                                   QWidget* parent)
    : QWidget(parent), source_(new QLabel(this)), led_(new QLabel(this)), info_(new QLabel(this)) {
    setObjectName(QStringLiteral("itemPreview"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("原始图像"), this), 0, 0);
    layout->addWidget(source_, 1, 0);
    layout->addWidget(new QLabel(QStringLiteral("L E D图像"), this), 2, 0);
    layout->addWidget(led_, 3, 0);
    layout->addWidget(new QLabel(QStringLiteral("图像信息"), this), 0, 1);
    layout->addWidget(info_, 1, 1, 3, 1, Qt::AlignTop);
    layout->setColumnStretch(0, 3);
    layout->setRowStretch(4, 1);
    info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    info_->setWordWrap(true);
    info_->setMinimumWidth(200);
    info_->setMaximumWidth(420);

    const CProjectFile* file = doc.ProjectFile();
    const int g = group - 1, i = position - 1;
    QStringList lines;
    try {
        const auto kind = KindFromElementName(file->ItemKindOf(g, i));
        if (!kind) return;
        const QString path = doc.SourceImagePathFor(*kind, file->ItemId(g, i));
        const QRgb threshold = ThresholdColour(file->GetInt(g, i, "r"), file->GetInt(g, i, "g"), file->GetInt(g, i, "b"));
        const bool dither = item_ops::Dithers(*file, g, i);
        lines << QStringLiteral("名称：%1").arg(file->GetAttr(g, i, "name"))
              << QStringLiteral("图像文件ID：%1").arg(file->GetAttr(g, i, "id"))
              << QStringLiteral("长度=%1").arg(file->GetInt(g, i, "length"))
              << QStringLiteral("文件路径：%1").arg(path);
        const QImage source = DecodeImageScaled(path, QSize(480, 320));
        if (!source.isNull()) source_->setPixmap(QPixmap::fromImage(source));
        QImage ledImage;
        const BallConfig ball{ballType, layer};
        if (*kind == ItemKind::Animation) {
            CAnimationConverter converter;
            if (converter.LoadFile(path)) {
                converter.SetThreshold(threshold);
                converter.SetDither(dither);
                converter.ConvertFrame(0);
                ledImage = converter.LedFrame();
                lines << QStringLiteral("帧数=%1").arg(converter.FrameCount());
            }
        } else {
            CPictureConverter converter;
            if (converter.LoadFile(path)) {
                converter.SetThreshold(threshold);
                converter.SetDither(dither);
                converter.Convert(ball);
                ledImage = converter.LedImage();
            }
        }
        if (!ledImage.isNull())
            led_->setPixmap(QPixmap::fromImage(ledImage.scaled(ledImage.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
        else
            led_->setText(QStringLiteral("（图像文件缺失）"));
    } catch (const AccessError& e) {
        lines << QString::fromUtf8(e.what());
    }
    info_->setText(lines.join(QLatin1Char('\n')));
}

}  // namespace glowdeck
