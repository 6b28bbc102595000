// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ItemTemplate.h"

#include <QCoreApplication>

namespace glowdeck {

QString DefaultGroupName() { return QCoreApplication::translate("ItemTemplate", "新建组"); }

const PropertyList& NewItemProperties(ItemKind kind) {
    static const PropertyList picture = {
        {"width", "400"}, {"height", "300"}, {"roiwidth", "0"}, {"roiheight", "0"},
        {"r", "128"},     {"g", "128"},      {"b", "128"},      {"length", "74"},
    };
    static const PropertyList animation = {
        {"width", "400"}, {"height", "300"},   {"r", "128"},      {"g", "128"},
        {"b", "128"},     {"length", "74"},    {"flength", "1"},  {"loop", "1"},
        {"speed", "0"},   {"framecount", "1"}, {"interval", "0"},
    };
    static const PropertyList text = {
        {"width", "400"},
        {"height", "300"},
        {"r", "100"},
        {"g", "100"},
        {"b", "100"},
        {"text", QCoreApplication::translate("ItemTemplate", "新文字")},
        {"font", QStringLiteral("宋体")},  // untranslated
        {"fontstyle", "0"},
        {"textcolor", "255"},
        {"backcolor", "0"},
        {"length", "74"},
        {"fontsize", "42"},
    };
    static const PropertyList interval = {
        {"r", "128"}, {"g", "128"}, {"b", "128"}, {"length", "1"}, {"backcolor", "0"},
    };
    switch (kind) {
        case ItemKind::Picture:
            return picture;
        case ItemKind::Animation:
            return animation;
        case ItemKind::Text:
            return text;
        case ItemKind::Interval:
            break;
    }
    return interval;
}

}  // namespace glowdeck
