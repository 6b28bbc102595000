// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/MessageSink.h"

#include <cstdio>

namespace glowdeck {

IMessageSink::Answer StderrMessageSink::Show(const QString& text, const QString&, Icon,
                                             Buttons buttons) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::Ok:
            break;
    }
    return Answer::Ok;
}

}  // namespace glowdeck
