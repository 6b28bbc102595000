// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppIcons.h"

// The icons are compiled into the application library; a static library's
// resources must be registered by hand.
static void InitIconResources() { Q_INIT_RESOURCE(glowdeck); }

namespace glowdeck {

namespace {
void EnsureResources() {
    static const bool once = (InitIconResources(), true);
    (void)once;
}
}  // namespace

namespace {
QString NodeName(int viewKind) {
    switch (viewKind) {
        case 1:
            return QStringLiteral("project");
        case 3:
            return QStringLiteral("group");
        case 5:
            return QStringLiteral("animation");
        case 7:
            return QStringLiteral("picture");
        case 9:
            return QStringLiteral("text");
        case 11:
            return QStringLiteral("interval");
        default:
            return QStringLiteral("project");
    }
}
}  // namespace

QIcon NodeIcon(int viewKind) {
    EnsureResources();
    const QString name = NodeName(viewKind);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.svg").arg(name), QSize(), QIcon::Normal);
    icon.addFile(QStringLiteral(":/icons/%1-selected.svg").arg(name), QSize(), QIcon::Selected);
    return icon;
}

QIcon ToolIcon(const QString& name) {
    EnsureResources();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

}  // namespace glowdeck
