// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>

namespace glowdeck {

// The six application looks, by command id (32833 to 32838), stored under
// "ApplicationLook" in the settings of organisation "Quorvel".
struct AppLook {
    int id;
    QString menuText;
};
const QList<AppLook>& AppLooks();
constexpr int DefaultLook = 32838;

// Applies a look to the whole application (style and palette).
void ApplyLook(int id);
int StoredLook();
void StoreLook(int id);

}  // namespace glowdeck
