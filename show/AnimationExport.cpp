// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/AnimationExport.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <vector>

#include "led/GifWriter.h"

namespace glowdeck {

namespace {

class CGifAnimationWriter : public IAnimationWriter {
public:
    bool Add(const QImage& frame, int delayMs, QString*) override {
        // Kept with a colour table: a quarter of the memory of full colour,
        // and exact for pictures of at most 256 colours such as the show's.
        frames_.push_back(
            frame.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither));
        elapsedMs_ += delayMs;
        const long long at = (elapsedMs_ + 5) / 10;
        delays_.push_back(static_cast<int>(at - writtenHundredths_));
        writtenHundredths_ = at;
        return true;
    }
    bool Finish(QByteArray* out, QString* error) override {
        return EncodeGif(frames_, delays_, 0, out, error);
    }

private:
    std::vector<QImage> frames_;
    std::vector<int> delays_;
    long long elapsedMs_ = 0, writtenHundredths_ = 0;
};

class CWebpAnimationWriter : public IAnimationWriter {
public:
    ~CWebpAnimationWriter() override {
        if (encoder_) WebPAnimEncoderDelete(encoder_);
    }
    bool Add(const QImage& source, int delayMs, QString* error) override {
        const QImage frame = source.convertToFormat(QImage::Format_ARGB32);
        if (!encoder_) {
            WebPAnimEncoderOptions options;
            if (!WebPAnimEncoderOptionsInit(&options)) return Fail(error, "WebP encoder too old");
            options.anim_params.loop_count = 0;
            options.allow_mixed = 0;
            encoder_ = WebPAnimEncoderNew(frame.width(), frame.height(), &options);
            if (!encoder_) return Fail(error, "cannot start the WebP encoder");
            size_ = frame.size();
        }
        if (frame.size() != size_) return Fail(error, "frames differ in size");
        WebPConfig config;
        if (!WebPConfigInit(&config)) return Fail(error, "WebP encoder too old");
        config.lossless = 1;
        config.method = 0;  // the fastest lossless search; the pictures are simple
        config.quality = 25;
        WebPPicture picture;
        if (!WebPPictureInit(&picture)) return Fail(error, "WebP encoder too old");
        picture.use_argb = 1;
        picture.width = frame.width();
        picture.height = frame.height();
        // Format_ARGB32 is B, G, R, A in memory on a little-endian machine.
        if (!WebPPictureImportBGRA(&picture, frame.constBits(),
                                   static_cast<int>(frame.bytesPerLine()))) {
            WebPPictureFree(&picture);
            return Fail(error, "out of memory");
        }
        const bool added =
            WebPAnimEncoderAdd(encoder_, &picture, static_cast<int>(elapsedMs_), &config) != 0;
        WebPPictureFree(&picture);
        if (!added) return Fail(error, WebPAnimEncoderGetError(encoder_));
        elapsedMs_ += delayMs;
        return true;
    }
    bool Finish(QByteArray* out, QString* error) override {
        if (!encoder_) return Fail(error, "no frame to encode");
        if (!WebPAnimEncoderAdd(encoder_, nullptr, static_cast<int>(elapsedMs_), nullptr))
            return Fail(error, WebPAnimEncoderGetError(encoder_));
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAssemble(encoder_, &data))
            return Fail(error, WebPAnimEncoderGetError(encoder_));
        *out = QByteArray(reinterpret_cast<const char*>(data.bytes), static_cast<int>(data.size));
        WebPDataClear(&data);
        return true;
    }

private:
    static bool Fail(QString* error, const char* why) {
        if (error) *error = QString::fromUtf8(why);
        return false;
    }
    WebPAnimEncoder* encoder_ = nullptr;
    QSize size_;
    long long elapsedMs_ = 0;
};

}  // namespace

std::unique_ptr<IAnimationWriter> MakeAnimationWriter(AnimationFormat format) {
    if (format == AnimationFormat::Webp) return std::make_unique<CWebpAnimationWriter>();
    return std::make_unique<CGifAnimationWriter>();
}

}  // namespace glowdeck
