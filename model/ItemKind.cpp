// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ItemKind.h"

#include <QCoreApplication>

namespace glowdeck {

namespace {
struct KindRow {
    ItemKind kind;
    const char* elementName;
    const char* defaultName;  // the source text of the translation
    const char* extension;
};

const KindRow kKinds[] = {
    {ItemKind::Picture, "picture", QT_TRANSLATE_NOOP("ItemKind", "新建图片"), ".bmp"},
    {ItemKind::Animation, "gif", QT_TRANSLATE_NOOP("ItemKind", "新建动画"), ".gif"},
    {ItemKind::Text, "txtpic", QT_TRANSLATE_NOOP("ItemKind", "新建文字"), ".bmp"},
    {ItemKind::Interval, "nullpic", QT_TRANSLATE_NOOP("ItemKind", "间隔"), ".jpg"},
};
}  // namespace

ItemKindInfo KindInfo(ItemKind kind) {
    const KindRow& row = kKinds[static_cast<int>(kind)];
    return {row.kind, row.elementName, QCoreApplication::translate("ItemKind", row.defaultName),
            QString::fromLatin1(row.extension)};
}

std::optional<ItemKind> KindFromElementName(const QString& elementName) {
    for (const auto& info : kKinds)
        if (elementName == QLatin1String(info.elementName)) return info.kind;
    return std::nullopt;
}

QString ElementName(ItemKind kind) { return QString::fromLatin1(KindInfo(kind).elementName); }

}  // namespace glowdeck
