// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace glowdeck {

// Encodes frames of equal size as a GIF (giflib). Delays are in hundredths of
// a second, one per frame; `loop` 0 repeats for ever. A frame with at most 256
// colours keeps them exactly; richer frames are reduced to a fixed 3-3-2 palette.
[[nodiscard]] bool EncodeGif(const std::vector<QImage>& frames, const std::vector<int>& delays,
                             int loop, QByteArray* out, QString* error = nullptr);

}  // namespace glowdeck
