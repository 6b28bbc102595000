// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// How the core tells the user something. The desktop shows a message box,
// the command-line tool prints to stderr, tests record.
class IMessageSink {
public:
    enum class Icon { Information, Warning, Question, Error };
    enum class Buttons { Ok, YesNo, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~IMessageSink() = default;
    virtual Answer Show(const QString& text, const QString& caption, Icon icon,
                        Buttons buttons = Buttons::Ok) = 0;

    // Convenience for the common warning with the program's caption.
    void Warn(const QString& text) { Show(text, Caption(), Icon::Warning); }
    static QString Caption() { return QStringLiteral("Orbilux"); }
};

// Writes messages to stderr and answers every question with its default.
class StderrMessageSink : public IMessageSink {
public:
    Answer Show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
};

}  // namespace glowdeck
