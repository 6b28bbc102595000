// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-video: decodes video clips for Glowdeck with FFmpeg's libraries.
//
// Glowdeck runs this program when the user opens a video, so that the editor
// and glowdeck-cli never load FFmpeg themselves. It knows nothing of
// projects: it lists frame times and writes chosen frames; which frames an
// animation keeps and for how long is decided by the caller.
//
//   glowdeck-video length FILE
//       "length SECONDS": where the clip's last frame ends (packets only,
//       nothing decoded)
//   glowdeck-video list FILE START END
//       "frame SECONDS" for each frame on screen from START until END (the
//       one showing at START, then each that begins before END), then
//       "end SECONDS", where the last of them stops being shown
//   glowdeck-video frames FILE START END HEIGHT INDEX...
//       the listed frames of those indices (counting from 0, ascending) as
//       binary PPM (P6) images one after the other, turned upright and
//       scaled down to at most HEIGHT rows with square pixels
//
// Times count from the start of the clip. On failure it prints the decoder's
// reason on stderr and exits 1; a bad command line exits 2.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string Reason(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

// One video stream of a file, opened for decoding.
class Clip {
public:
    ~Clip() {
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }

    bool Open(const char* path, bool decode, std::string* why) {
        int e = avformat_open_input(&format_, path, nullptr, nullptr);
        if (e < 0) return *why = Reason(e), false;
        if ((e = avformat_find_stream_info(format_, nullptr)) < 0) return *why = Reason(e), false;
        const AVCodec* decoder = nullptr;
        index_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (index_ == AVERROR_STREAM_NOT_FOUND) return *why = "no video stream", false;
        if (index_ < 0 || !decoder) return *why = "no decoder for its video stream", false;
        stream_ = format_->streams[index_];
        timeBase_ = av_q2d(stream_->time_base);
        origin_ = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
        const AVRational rate = av_guess_frame_rate(format_, stream_, nullptr);
        frameTime_ = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (!packet_ || !frame_) return *why = Reason(AVERROR(ENOMEM)), false;
        if (!decode) return true;
        codec_ = avcodec_alloc_context3(decoder);
        if (!codec_) return *why = Reason(AVERROR(ENOMEM)), false;
        if ((e = avcodec_parameters_to_context(codec_, stream_->codecpar)) < 0)
            return *why = Reason(e), false;
        codec_->thread_count = 0;  // as many as the machine has
        if ((e = avcodec_open2(codec_, decoder, nullptr)) < 0) return *why = Reason(e), false;
        return true;
    }

    // Where the last video packet ends, from the packets' times alone.
    bool Length(double* length, std::string* why) {
        double end = 0;
        bool any = false;
        int e;
        while ((e = av_read_frame(format_, packet_)) >= 0) {
            if (packet_->stream_index == index_ && packet_->pts != AV_NOPTS_VALUE) {
                const double at = Seconds(packet_->pts);
                const double lasts =
                    packet_->duration > 0 ? packet_->duration * timeBase_ : frameTime_;
                end = std::max(end, at + lasts);
                any = true;
            }
            av_packet_unref(packet_);
        }
        if (e != AVERROR_EOF) return *why = Reason(e), false;
        if (!any && format_->duration > 0)
            end = format_->duration / double(AV_TIME_BASE), any = true;
        if (!any) return *why = "no video frames", false;
        *length = end;
        return true;
    }

    // Decodes the frames on screen from `start` until `end` and passes each
    // with its index and time to `take`; `*last` becomes where the last one
    // stops being shown. Damaged packets are skipped as players skip them;
    // a clip of which no frame decodes fails with the decoder's reason.
    bool Walk(double start, double end, const std::function<void(int, double, AVFrame*)>& take,
              double* last, std::string* why) {
        if (start > 0) {
            const auto at = static_cast<int64_t>(start / timeBase_) + origin_;
            if (av_seek_frame(format_, index_, at, AVSEEK_FLAG_BACKWARD) >= 0)
                avcodec_flush_buffers(codec_);
        }
        AVFrame* pending = av_frame_alloc();  // the latest frame at or before `start`
        double pendingAt = 0, previous = -1;
        int taken = 0, failure = 0;
        bool past = false;
        *last = -1;
        auto give = [&](double at, AVFrame* frame) {
            take(taken++, at, frame);
            *last = at + Lasts(frame);
        };
        auto receive = [&]() {
            while (!past) {
                const int e = avcodec_receive_frame(codec_, frame_);
                if (e == AVERROR(EAGAIN) || e == AVERROR_EOF) return;
                if (e < 0) {
                    failure = e;
                    return;
                }
                double at = frame_->best_effort_timestamp != AV_NOPTS_VALUE
                                ? Seconds(frame_->best_effort_timestamp)
                                : previous + frameTime_;
                if (at <= previous) at = previous + 1e-6;  // keep them in order
                previous = at;
                if (at <= start) {
                    av_frame_unref(pending);
                    av_frame_ref(pending, frame_);
                    pendingAt = at;
                } else if (at < end) {
                    if (pending->buf[0]) give(pendingAt, pending), av_frame_unref(pending);
                    give(at, frame_);
                } else {
                    if (pending->buf[0]) give(pendingAt, pending), av_frame_unref(pending);
                    if (taken > 0) *last = std::min(*last, at);
                    past = true;
                }
                av_frame_unref(frame_);
            }
        };
        int e = 0;
        while (!past && (e = av_read_frame(format_, packet_)) >= 0) {
            if (packet_->stream_index == index_) {
                const int sent = avcodec_send_packet(codec_, packet_);
                if (sent < 0 && sent != AVERROR(EAGAIN)) failure = sent;
                receive();
            }
            av_packet_unref(packet_);
        }
        if (!past) {
            if (e != AVERROR_EOF && e < 0) failure = e;
            avcodec_send_packet(codec_, nullptr);  // drain the frames still held
            receive();
        }
        // The last frame of the clip, when it is still on screen at `start`.
        if (pending->buf[0] && pendingAt + Lasts(pending) > start) give(pendingAt, pending);
        av_frame_free(&pending);
        if (taken == 0) {
            *why = failure < 0 ? Reason(failure)
                   : start > 0 ? "the clip ends before that start"
                               : "no frames could be decoded";
            return false;
        }
        return true;
    }

    // Degrees the picture is turned clockwise to be shown upright (0, 90,
    // 180 or 270), from the stream's display matrix: phones store portrait
    // clips lying on their side.
    int Rotation() const {
        const uint8_t* matrix =
            av_stream_get_side_data(stream_, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
        if (!matrix) return 0;
        const double turn = -av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
        if (std::isnan(turn)) return 0;
        const int quarter = static_cast<int>(std::lround(turn / 90.0));
        return ((quarter % 4) + 4) % 4 * 90;
    }

    // The width a frame is shown at, with the stream's pixel aspect.
    int ShownWidth(const AVFrame* frame) const {
        const AVRational aspect =
            av_guess_sample_aspect_ratio(format_, stream_, const_cast<AVFrame*>(frame));
        if (aspect.num <= 0 || aspect.den <= 0) return frame->width;
        return std::max(1, static_cast<int>(std::lround(frame->width * av_q2d(aspect))));
    }

private:
    // Multiplied before dividing, so that a frame at 57/30 s reads as 1.9 exactly.
    double Seconds(int64_t pts) const {
        return double(pts - origin_) * stream_->time_base.num / stream_->time_base.den;
    }
    // How long a frame is shown: its packet's duration, else one frame of the stream's rate.
    double Lasts(const AVFrame* frame) const {
        return frame->pkt_duration > 0 ? frame->pkt_duration * timeBase_ : frameTime_;
    }

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int index_ = -1;
    double timeBase_ = 0, frameTime_ = 0.04;
    int64_t origin_ = 0;
};

// Scales `frame` to width × height RGB and writes it turned by `rotation`
// degrees clockwise as a PPM image.
bool WriteFrame(AVFrame* frame, int width, int height, int rotation, std::string* why) {
    SwsContext* scaler =
        sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                       width, height, AV_PIX_FMT_RGB24, SWS_AREA, nullptr, nullptr, nullptr);
    if (!scaler) return *why = "the frame's pixel format cannot be converted", false;
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    uint8_t* planes[1] = {rgb.data()};
    const int strides[1] = {width * 3};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(scaler);
    const bool sideways = rotation == 90 || rotation == 270;
    const int outW = sideways ? height : width, outH = sideways ? width : height;
    std::vector<uint8_t> out(rgb.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Where pixel (x, y) lands once the picture is turned.
            int ox = x, oy = y;
            if (rotation == 90) {
                ox = height - 1 - y;
                oy = x;
            } else if (rotation == 180) {
                ox = width - 1 - x;
                oy = height - 1 - y;
            } else if (rotation == 270) {
                ox = y;
                oy = width - 1 - x;
            }
            std::memcpy(&out[(size_t(oy) * outW + ox) * 3], &rgb[(size_t(y) * width + x) * 3], 3);
        }
    std::printf("P6\n%d %d\n255\n", outW, outH);
    return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ||
           (*why = "cannot write the frame", false);
}

bool ParseSeconds(const char* text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end != text && *end == '\0' && !std::isnan(*out) && *out >= 0;
}

int Usage() {
    std::fputs(
        "usage: glowdeck-video length FILE\n"
        "       glowdeck-video list FILE START END\n"
        "       glowdeck-video frames FILE START END HEIGHT INDEX...\n",
        stderr);
    return 2;
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_QUIET);
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    Clip clip;
    std::string why;
    if (command == "length") {
        if (argc != 3) return Usage();
        double length = 0;
        if (!clip.Open(argv[2], false, &why) || !clip.Length(&length, &why)) return Fail(why);
        std::printf("length %.6f\n", length);
        return 0;
    }
    double start = 0, end = 0;
    if (argc < 5 || !ParseSeconds(argv[3], &start) || !ParseSeconds(argv[4], &end)) return Usage();
    if (command == "list") {
        if (argc != 5) return Usage();
        double last = 0;
        if (!clip.Open(argv[2], true, &why)) return Fail(why);
        const bool read = clip.Walk(
            start, end, [](int, double at, AVFrame*) { std::printf("frame %.6f\n", at); }, &last,
            &why);
        if (!read) return Fail(why);
        std::printf("end %.6f\n", last);
        return 0;
    }
    if (command != "frames" || argc < 7) return Usage();
    const int maxHeight = std::atoi(argv[5]);
    std::vector<int> wanted;
    for (int k = 6; k < argc; ++k) wanted.push_back(std::atoi(argv[k]));
    if (maxHeight < 1 || !std::is_sorted(wanted.begin(), wanted.end())) return Usage();
    if (!clip.Open(argv[2], true, &why)) return Fail(why);
    const int rotation = clip.Rotation();
    size_t next = 0;
    bool written = true;
    double last = 0;
    const bool read = clip.Walk(
        start, end,
        [&](int index, double, AVFrame* frame) {
            if (!written || next >= wanted.size() || wanted[next] != index) return;
            while (next < wanted.size() && wanted[next] == index) ++next;
            // The size it is shown at, upright, at most maxHeight rows high.
            int w = clip.ShownWidth(frame), h = frame->height;
            const bool sideways = rotation == 90 || rotation == 270;
            const int shownH = sideways ? w : h;
            if (shownH > maxHeight) {
                const double k = double(maxHeight) / shownH;
                w = std::max(1, static_cast<int>(std::lround(w * k)));
                h = std::max(1, static_cast<int>(std::lround(h * k)));
            }
            written = WriteFrame(frame, w, h, rotation, &why);
        },
        &last, &why);
    if (!read || !written) return Fail(why);
    if (next < wanted.size()) return Fail("the clip has fewer frames than were listed");
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the frames");
}
