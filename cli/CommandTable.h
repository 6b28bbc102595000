// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace glowdeck {

// What the shell offers for an option's value or a command's argument.
enum class Completion {
    Nothing,     // free text: nothing offered
    Folder,      // a folder (a project, a project root)
    AnyFile,     // any file
    DataFile,    // a data.bin
    PngFile,     // a PNG to write
    ImageFile,   // a picture or animation source
    SerialPort,  // /dev/ttyUSB*, /dev/ttyACM*
    Words,       // one of `words`
};

struct OptionRow {
    const char* name;   // "--ball"
    const char* value;  // "1|2" as the help writes it; nullptr for a flag
    // The help text; a line break continues it under the first line.
    const char* help;
    Completion completion = Completion::Nothing;
    const char* words = nullptr;  // with Completion::Words, separated by spaces
};

// How the shell completes the command's positional arguments, in order.
struct ArgumentRow {
    Completion completion = Completion::Nothing;
    const char* words = nullptr;
};

// One command of glowdeck-cli: its dispatch, its help and its completion.
struct CommandRow {
    const char* name;
    const char* synopsis;  // after "glowdeck-cli "
    const char* summary;   // one line for the overview
    const char* about;     // what COMMAND --help says before the options
    std::vector<OptionRow> options;
    const char* notes;  // what COMMAND --help says after the options
    std::vector<ArgumentRow> arguments;
    // Renders text with the system's fonts (set-text, the placeholders of
    // add): only these start the GUI-level application, which costs the
    // font configuration at every start.
    bool drawsText;
    // Takes the arguments after the command name; returns the exit code.
    int (*run)(const QStringList& args);
};

// glowdeck-cli is two programs with one command table: the reading program
// (glowdeck-cli itself, on QtCore alone, so it starts fast) runs the
// commands that only read or talk to the serial port, and hands every other
// command over to the full program (glowdeck-cli-full, beside it or in
// ../libexec/glowdeck), which runs them all. In the reading program such a
// row's `run` returns kRunInFullProgram.
constexpr int kRunInFullProgram = -1;
int RunInFullProgram(const QStringList& args);

// Every command, in the order the overview lists them.
const std::vector<CommandRow>& Commands();
// nullptr when `name` is none of them.
const CommandRow* FindCommand(const QString& name);

}  // namespace glowdeck
