#include "led/PictureConverter.h"

#include <QFileInfo>
#include <QImageReader>

#include "led/ImageCodec.h"
#include "led/LedOrder.h"

namespace glowdeck {

int LedWidthFor(const QSize& source) {
    if (source.height() <= 0) return 0;
    return static_cast<int>(56.0 * source.width() / source.height());
}

CPictureConverter::CPictureConverter()
    : previewRects{QRect(10, 10, 400, 300), QRect(10, 320, 200, 56), QRect(10, 530, 200, 56),
                   QRect(10, 640, 200, 56)} {}

void CPictureConverter::UpdatePreviewRects(const QSize& source) {
    if (source.height() <= 0) return;
    for (QRect& r : previewRects) r.setWidth(static_cast<int>(1.0 * source.width() * r.height() / source.height()));
}

bool CPictureConverter::LoadFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    Release();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return false;
    const int width = LedWidthFor(size);
    QImage resized;
    if (size.height() == LedRows) {
        resized = reader.read();
    } else if (width > 0) {
        // Only 56 rows are needed: let the decoder skip most of a large JPEG,
        // then reduce smoothly to the exact size.
        const QSize decode(std::max(width * 2, 1), LedRows * 2);
        if (size.width() > decode.width() * 2 && size.height() > decode.height() * 2)
            reader.setScaledSize(size.scaled(decode, Qt::KeepAspectRatioByExpanding));
        const QImage source = reader.read();
        if (source.isNull()) return false;
        resized = MakeThumbnail(source, width, LedRows);
    } else {
        resized = QImage(0, LedRows, QImage::Format_ARGB32);
    }
    if (resized.isNull() && width > 0) return false;
    UpdatePreviewRects(size);
    SetLoaded(resized);
    return true;
}

void CPictureConverter::LoadImage(const QImage& image) {
    Release();
    const int width = LedWidthFor(image.size());
    UpdatePreviewRects(image.size());
    SetLoaded(width > 0 ? MakeThumbnail(image, width, LedRows) : QImage(0, LedRows, QImage::Format_ARGB32));
}

}  // namespace glowdeck
