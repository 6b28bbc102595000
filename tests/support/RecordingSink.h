// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>
#include <deque>

#include "base/MessageSink.h"

namespace glowdeck::test {

// Records every message and answers questions from a queue (default: the
// first button).
class RecordingSink : public IMessageSink {
public:
    Answer Show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;

    QStringList texts;
    QStringList captions;
    std::deque<Answer> answers;
};

}  // namespace glowdeck::test
