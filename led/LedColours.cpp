#include "led/LedColours.h"

#include "base/BgrColour.h"

namespace glowdeck {

QColor ColourFromBgr(unsigned bgr) { return QColor(RedOf(bgr), GreenOf(bgr), BlueOf(bgr)); }

const std::array<NamedLedColour, 8>& LedColours() {
    using namespace led_colour;
    static const std::array<NamedLedColour, 8> colours{{
        {Black, "black", "黑"},
        {Red, "red", "红"},
        {Green, "green", "绿"},
        {Yellow, "yellow", "黄"},
        {Blue, "blue", "蓝"},
        {Magenta, "magenta", "紫"},
        {Cyan, "cyan", "青"},
        {White, "white", "白"},
    }};
    return colours;
}

}  // namespace glowdeck
