// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as an item's source image (GIF, JPEG, PNG, BMP
// or anything else). The picture and the animation converters load, convert
// and pack it as compile does. They must never crash or hang, a failed load
// must say why, and a loaded source never has more columns than the index
// can hold nor a buffer that differs from its columns.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "led/AnimationConverter.h"
#include "led/GifReader.h"
#include "led/PictureConverter.h"
#include "led/SourceLimits.h"

using namespace glowdeck;

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Reads every packed byte so the sanitizer sees any overrun.
unsigned Touch(const PackedColumns& packed) {
    unsigned sum = 0;
    const long bytes = static_cast<long>(packed.frames) * packed.width * 21;
    for (long k = 0; k < bytes; ++k) sum += packed.data[k];
    return sum;
}

const QString& SourcePath() {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("source.img"));
    return path;
}

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);  // image format plugins
    // The decoders complain about every damaged input; that is expected here.
    qInstallMessageHandler(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QFile file(SourcePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    // The three column formats: single ball, inner and outer layer.
    const BallConfig balls[3] = {{1, 0}, {2, 1}, {2, 0}};
    const BallConfig ball = balls[size % 3];

    CPictureConverter picture;
    if (picture.LoadFile(SourcePath())) {
        Require(picture.LoadError().isEmpty(), "picture loaded with an error");
        Require(picture.Width() >= 0 && picture.Width() <= MaxLedColumns,
                "picture width beyond the index");
        picture.SetThreshold(0xFF808080);
        Require(picture.Convert(ball), "loaded picture did not convert");
        const PackedColumns packed = picture.Packed();
        Require(packed.frames == 1 && packed.width == picture.Width(),
                "picture columns differ from its width");
        Touch(packed);
    } else {
        Require(!picture.LoadError().isEmpty(), "picture failed without a reason");
    }

    CAnimationConverter animation;
    if (animation.LoadFile(SourcePath())) {
        Require(animation.LoadError().isEmpty(), "animation loaded with an error");
        Require(
            animation.FrameCount() >= 1 && animation.FrameCount() <= CAnimationConverter::MaxFrames,
            "frame count out of range");
        Require(animation.Width() >= 0 && animation.Width() <= MaxLedColumns,
                "frame width beyond the index");
        animation.SetThreshold(0xFF404040);
        Require(animation.Convert(ball, nullptr), "loaded animation did not convert");
        const PackedColumns packed = animation.Packed();
        Require(packed.frames == animation.FrameCount() && packed.width == animation.Width(),
                "animation columns differ from its frames");
        Touch(packed);
        Require(animation.ConvertFrame(animation.FrameCount() - 1), "last frame did not convert");
    } else {
        Require(!animation.LoadError().isEmpty(), "animation failed without a reason");
    }

    if (const auto info = ReadGifInfo(SourcePath())) {
        Require(info->frameCount >= 1 && static_cast<int>(info->delays.size()) == info->frameCount,
                "one delay per frame");
    }
    return 0;
}
