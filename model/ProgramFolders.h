// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// Where the program finds what it ships with and where it writes its own
// files (setting.ini, the LED previews). Two layouts:
//   build folder   bin/glowdeck, bin/help/, bin/factory*.bin, bin/setting.ini
//   installed      PREFIX/bin/glowdeck, PREFIX/share/glowdeck/{help,factory*.bin},
//                  setting.ini in the user's configuration folder
// Files the program writes stay beside it while that folder is writable and is
// not an installed program's bin/ (so root running /usr/bin/glowdeck does not
// write into /usr/bin); otherwise they go to the user's configuration folder.
class ProgramFolders {
public:
    ProgramFolders(QString programFolder, QString userConfigFolder);
    // The running program: its executable's folder and $XDG_CONFIG_HOME/Glowdeck.
    static ProgramFolders ForThisProgram();
    // $XDG_CONFIG_HOME/Glowdeck (~/.config/Glowdeck when the variable is unset).
    static QString DefaultUserConfigFolder();

    const QString& ProgramFolder() const { return programFolder_; }
    // PREFIX/share/glowdeck for a program in PREFIX/bin.
    QString ShareFolder() const;
    // True when the program sits in PREFIX/bin beside PREFIX/share/glowdeck.
    bool Installed() const;

    // The folder for the files the program writes, created when it is the
    // configuration folder and missing. No trailing separator.
    QString WritableFolder() const;
    QString SettingsFile() const;  // WritableFolder() + "/setting.ini"

    // The folder holding the shipped file `name`: beside the program, else the
    // share folder; beside the program when neither holds it (so a message
    // names the place a build folder expects it).
    QString FolderHolding(const QString& name) const;
    // The user guide: bin/help in a build folder, share/glowdeck/help installed.
    QString HelpFolder() const;

private:
    QString programFolder_;
    QString userConfigFolder_;
};

}  // namespace glowdeck
