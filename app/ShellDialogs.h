// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glowdeck {

// The start-up questions of the main window.
class IShellDialogs {
public:
    virtual ~IShellDialogs() = default;
    // "彩球类型": 1 single-layer, 2 double-layer, 0 when the dialog was escaped.
    virtual int AskBallType() = 0;
    // "选择层": 1 inner, 0 outer.
    virtual int AskLayer() = 0;
};

}  // namespace glowdeck
