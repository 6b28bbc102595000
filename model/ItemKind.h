// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <optional>

namespace glowdeck {

// The four kinds of item. An item element of any other name has no kind.
enum class ItemKind { Picture, Animation, Text, Interval };

struct ItemKindInfo {
    ItemKind kind;
    const char* elementName;  // "picture", "gif", "txtpic", "nullpic"
    QString defaultName;      // caption given by the add commands, translated
    QString extension;        // source image extension, with the dot
};

// By value: the default name is in the interface language of the moment.
ItemKindInfo KindInfo(ItemKind kind);

// Kind of an item element name; nullopt for any other name.
std::optional<ItemKind> KindFromElementName(const QString& elementName);

QString ElementName(ItemKind kind);

}  // namespace glowdeck
