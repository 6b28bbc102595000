#include "model/ItemKind.h"

namespace glowdeck {

namespace {
const ItemKindInfo kKinds[] = {
    {ItemKind::Picture, "picture", QStringLiteral("新建图片"), QStringLiteral(".bmp")},
    {ItemKind::Animation, "gif", QStringLiteral("新建动画"), QStringLiteral(".gif")},
    {ItemKind::Text, "txtpic", QStringLiteral("新建文字"), QStringLiteral(".bmp")},
    {ItemKind::Interval, "nullpic", QStringLiteral("间隔"), QStringLiteral(".jpg")},
};
}  // namespace

const ItemKindInfo& KindInfo(ItemKind kind) { return kKinds[static_cast<int>(kind)]; }

std::optional<ItemKind> KindFromElementName(const QString& elementName) {
    for (const auto& info : kKinds)
        if (elementName == QLatin1String(info.elementName)) return info.kind;
    return std::nullopt;
}

QString ElementName(ItemKind kind) { return QString::fromLatin1(KindInfo(kind).elementName); }

}  // namespace glowdeck
