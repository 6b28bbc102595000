// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace glowdeck {

// What composing a GIF found: the logical screen, every frame's delay as
// stored (hundredths of a second, 0 without a graphics control block) and
// how many frames were composed.
struct GifComposition {
    QSize screen;
    std::vector<int> delays;  // one per frame of the file
    int composed = 0;         // frames handed on, from frame 0
    int FrameCount() const { return static_cast<int>(delays.size()); }
};

// Called with each composed frame: its index and the whole logical screen as
// ARGB32_Premultiplied, transparent (0) where no frame has drawn. The image
// is the composer's canvas: keep a copy (QImage shares it; the next frame
// then draws into a fresh one).
using GifFrameHandler = std::function<void(int index, const QImage& frame)>;

// Decodes the GIF in `data` with giflib and composes its frames one after the
// other as web browsers show them:
// - the canvas starts transparent; a frame draws its opaque pixels into its
//   rectangle, clipped to the logical screen; its transparent index and
//   indices past its palette leave what is beneath;
// - after a frame is shown, its disposal applies: 0 and 1 keep it, 2 clears
//   its rectangle to transparent (whatever the background colour index
//   says), 3 (and 4, which some encoders write for it) puts back the canvas
//   as it was before the frame, transparent before the first one;
// - interlaced rows are put in their places; a local palette replaces the
//   global one for its frame.
// Frames 0..lastFrame go to `onFrame`; the frames after them are only
// counted and their delays read, without decompressing their pixels. A
// frame whose data break off ends the composing, and the frames after it are
// not counted; nothing (and `error`) when not even frame 0 can be composed
// (lastFrame < 0: when the file has no frame), or when the screen is too
// large to hold in memory.
std::optional<GifComposition> ComposeGif(const QByteArray& data, int lastFrame,
                                         const GifFrameHandler& onFrame, QString* error = nullptr);

// True when `data` starts like a GIF file.
bool LooksLikeGif(const QByteArray& data);

// The logical screen size a GIF's header gives, read without giflib (to
// refuse a size before anything is decoded); invalid when `data` is too short.
QSize GifScreenSize(const QByteArray& data);

}  // namespace glowdeck
