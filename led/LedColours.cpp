// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/LedColours.h"

#include <QCoreApplication>

#include "base/BgrColour.h"

namespace glowdeck {

QColor ColourFromBgr(unsigned bgr) { return QColor(RedOf(bgr), GreenOf(bgr), BlueOf(bgr)); }

const std::array<NamedLedColour, 8>& LedColours() {
    using namespace led_colour;
    static const std::array<NamedLedColour, 8> colours{{
        {Black, "black", QT_TRANSLATE_NOOP("LedColours", "黑")},
        {Red, "red", QT_TRANSLATE_NOOP("LedColours", "红")},
        {Green, "green", QT_TRANSLATE_NOOP("LedColours", "绿")},
        {Yellow, "yellow", QT_TRANSLATE_NOOP("LedColours", "黄")},
        {Blue, "blue", QT_TRANSLATE_NOOP("LedColours", "蓝")},
        {Magenta, "magenta", QT_TRANSLATE_NOOP("LedColours", "紫")},
        {Cyan, "cyan", QT_TRANSLATE_NOOP("LedColours", "青")},
        {White, "white", QT_TRANSLATE_NOOP("LedColours", "白")},
    }};
    return colours;
}

QString LedColourLabel(const NamedLedColour& colour) {
    return QCoreApplication::translate("LedColours", colour.chineseName);
}

}  // namespace glowdeck
