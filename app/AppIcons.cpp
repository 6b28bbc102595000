#include "app/AppIcons.h"

namespace glowdeck {

namespace {
QString NodeName(int viewKind) {
    switch (viewKind) {
        case 1: return QStringLiteral("project");
        case 3: return QStringLiteral("group");
        case 5: return QStringLiteral("animation");
        case 7: return QStringLiteral("picture");
        case 9: return QStringLiteral("text");
        case 11: return QStringLiteral("interval");
        default: return QStringLiteral("project");
    }
}
}  // namespace

QIcon NodeIcon(int viewKind) {
    const QString name = NodeName(viewKind);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.svg").arg(name), QSize(), QIcon::Normal);
    icon.addFile(QStringLiteral(":/icons/%1-selected.svg").arg(name), QSize(), QIcon::Selected);
    return icon;
}

QIcon ToolIcon(const QString& name) { return QIcon(QStringLiteral(":/icons/%1.svg").arg(name)); }

}  // namespace glowdeck
