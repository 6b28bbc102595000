// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/RecordingSink.h"

namespace glowdeck::test {

IMessageSink::Answer RecordingSink::Show(const QString& text, const QString& caption, Icon,
                                         Buttons buttons) {
    texts << text;
    captions << caption;
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

}  // namespace glowdeck::test
