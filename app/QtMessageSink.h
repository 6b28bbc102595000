// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QWidget>

#include "base/MessageSink.h"

namespace glowdeck {

// Shows the core's messages as modal message boxes.
class QtMessageSink : public IMessageSink {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    Answer Show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace glowdeck
