// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/VideoClip.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <limits>

#include "led/FrameSampling.h"
#include "led/SourceFile.h"

namespace glowdeck {

namespace {

QString& DecoderOverride() {
    static QString path;
    return path;
}

QString Seconds(double s) { return QString::number(s, 'f', 6); }

// Runs the decoder with `arguments`; its output, or nullopt with its reason.
std::optional<QByteArray> RunDecoder(const QStringList& arguments, QString* error) {
    const QString program = VideoDecoderPath();
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return std::nullopt;
    };
    if (program.isEmpty())
        return fail(QStringLiteral("videos cannot be decoded: glowdeck-video is not installed"));
    QProcess decoder;
    decoder.start(program, arguments, QIODevice::ReadOnly);
    if (!decoder.waitForStarted(-1))
        return fail(QStringLiteral("cannot run %1: %2").arg(program, decoder.errorString()));
    decoder.closeWriteChannel();
    decoder.waitForFinished(-1);
    if (decoder.exitStatus() != QProcess::NormalExit)
        return fail(QStringLiteral("the video decoder stopped: %1").arg(decoder.errorString()));
    if (decoder.exitCode() != 0) {
        const QString said = QString::fromUtf8(decoder.readAllStandardError()).trimmed();
        return fail(
            said.isEmpty()
                ? QStringLiteral("the video decoder failed (exit %1)").arg(decoder.exitCode())
                : said.section(QLatin1Char('\n'), -1));
    }
    return decoder.readAllStandardOutput();
}

// The frames of a run of "frames": PPM (P6) images back to back.
bool ParseFrames(const QByteArray& data, std::vector<QImage>* frames) {
    qsizetype at = 0;
    while (at < data.size()) {
        // "P6\nW H\n255\n" as the decoder writes it.
        QList<QByteArray> header;
        qsizetype from = at;
        for (int field = 0; field < 3; ++field) {
            const qsizetype eol = data.indexOf('\n', from);
            if (eol < 0) return false;
            header.push_back(data.mid(from, eol - from));
            from = eol + 1;
        }
        const QList<QByteArray> size = header[1].split(' ');
        if (header[0] != "P6" || size.size() != 2 || header[2] != "255") return false;
        const int w = size[0].toInt(), h = size[1].toInt();
        if (w < 1 || h < 1 || data.size() - from < qsizetype(w) * h * 3) return false;
        QImage frame(w, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y)
            std::copy_n(data.constData() + from + qsizetype(y) * w * 3, w * 3, frame.scanLine(y));
        frames->push_back(frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        at = from + qsizetype(w) * h * 3;
    }
    return true;
}

}  // namespace

bool LooksLikeVideo(const QByteArray& head) {
    if (head.size() < 12) return false;
    // ISO media (MP4, MOV, 3GP) starts with a box; older MOV files with other boxes.
    const QByteArray box = head.mid(4, 4);
    if (box == "ftyp" || box == "moov" || box == "mdat" || box == "wide" || box == "free")
        return true;
    if (head.startsWith("\x1A\x45\xDF\xA3")) return true;  // Matroska and WebM (EBML)
    return head.startsWith("RIFF") && head.mid(8, 4) == "AVI ";
}

bool IsVideoFile(const QString& path) {
    CSourceFile source;
    return source.Open(path, nullptr) && LooksLikeVideo(source.Device()->peek(12));
}

std::vector<int> ClipDelays(const std::vector<double>& times, double start, double end) {
    auto hundredths = [&](double t) { return std::llround(std::max(0.0, t - start) * 100); };
    const long long total = hundredths(end);
    std::vector<int> delays;
    long long shown = 0;  // where the frame's boundary fell
    for (size_t k = 0; k < times.size(); ++k) {
        const long long next =
            k + 1 < times.size() ? std::clamp(hundredths(times[k + 1]), shown, total) : total;
        delays.push_back(static_cast<int>(next - shown));
        shown = next;
    }
    return delays;
}

std::optional<double> ReadVideoLength(const QString& path, QString* error) {
    const std::optional<QByteArray> said = RunDecoder({QStringLiteral("length"), path}, error);
    if (!said) return std::nullopt;
    bool ok = false;
    const double length =
        QString::fromLatin1(*said).trimmed().section(QLatin1Char(' '), 1).toDouble(&ok);
    if (!ok) {
        if (error) *error = QStringLiteral("the video decoder gave no length");
        return std::nullopt;
    }
    return length;
}

std::optional<SampledGif> ReadVideoClip(const QString& path, const ClipWindow& window, int count,
                                        QString* error) {
    const double end = window.duration > 0 ? window.start + window.duration
                                           : std::numeric_limits<double>::infinity();
    const QStringList range{path, Seconds(window.start),
                            std::isinf(end) ? QStringLiteral("inf") : Seconds(end)};
    const std::optional<QByteArray> listed =
        RunDecoder(QStringList{QStringLiteral("list")} + range, error);
    if (!listed) return std::nullopt;
    std::vector<double> times;
    double last = 0;
    for (const QByteArray& line : listed->split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() != 2) continue;
        if (words[0] == "frame") times.push_back(words[1].toDouble());
        if (words[0] == "end") last = words[1].toDouble();
    }
    if (times.empty() || count < 1) {
        if (error) *error = QStringLiteral("no frames");
        return std::nullopt;
    }
    const std::vector<FrameSample> samples =
        SampleFramesEvenly(ClipDelays(times, window.start, std::min(last, end)), count);
    // Decode only the frames the samples show, each once.
    QStringList wanted;
    std::vector<int> kept;
    for (const FrameSample& s : samples)
        if (kept.empty() || kept.back() != s.frame) {
            kept.push_back(s.frame);
            wanted << QString::number(s.frame);
        }
    const std::optional<QByteArray> images =
        RunDecoder(QStringList{QStringLiteral("frames")} + range +
                       QStringList{QString::number(MaxVideoFrameHeight)} + wanted,
                   error);
    if (!images) return std::nullopt;
    std::vector<QImage> decoded;
    if (!ParseFrames(*images, &decoded) || decoded.size() != kept.size()) {
        if (error) *error = QStringLiteral("the video decoder gave damaged frames");
        return std::nullopt;
    }
    // A stream may change its size midway; the GIF's frames share the first one's.
    for (QImage& frame : decoded)
        if (frame.size() != decoded.front().size())
            frame = frame.scaled(decoded.front().size(), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    SampledGif clip;
    clip.sourceFrames = static_cast<int>(times.size());
    size_t k = 0;
    for (const FrameSample& s : samples) {
        while (kept[k] != s.frame) ++k;
        clip.frames.push_back(decoded[k]);
        clip.delays.push_back(s.delay);
    }
    return clip;
}

QString VideoDecoderPath() {
    if (!DecoderOverride().isEmpty()) return DecoderOverride();
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {here + QStringLiteral("/glowdeck-video"),
                                     here + QStringLiteral("/../libexec/glowdeck/glowdeck-video")})
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).absoluteFilePath();
    return QString();
}

void SetVideoDecoderPath(const QString& path) { DecoderOverride() = path; }

}  // namespace glowdeck
