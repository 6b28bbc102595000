// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCoreApplication>
#include <QString>
#include <stdexcept>
#include <string>

namespace glowdeck {

// Raised by the project file accessors when a group, an item or a property
// element does not exist. The model has no default for a missing attribute.
class AccessError : public std::runtime_error {
public:
    explicit AccessError(const std::string& what) : std::runtime_error(what) {}
};

// What the program shows when an access failed: the project file is damaged.
inline QString DamagedProjectText(const AccessError& e) {
    return QCoreApplication::translate("AccessError", "项目文件有误：%1")
        .arg(QString::fromUtf8(e.what()));
}

}  // namespace glowdeck
