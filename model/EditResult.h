// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <utility>

namespace glowdeck {

// The outcome of an editing operation: ok, or the message that says why it
// failed (the caller shows it: a message box in the desktop program, stderr
// in glowdeck-cli). A failed operation has left the project, its items and
// their files as they were.
struct [[nodiscard]] EditResult {
    bool ok = true;
    QString message;

    static EditResult Done() { return {}; }
    static EditResult Failed(QString why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace glowdeck
