// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

namespace glowdeck::test {

// `jpeg` with an EXIF block as cameras write it: IFD0 recording
// `orientation` (1 to 8), and, when `thumbnail` (a JPEG) is not empty, IFD1
// pointing at it as the embedded thumbnail.
QByteArray WithExif(QByteArray jpeg, int orientation, const QByteArray& thumbnail = {});

}  // namespace glowdeck::test
