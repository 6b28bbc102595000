// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDir>
#include <memory>

#include "app/CMainFrame.h"
#include "app/ShellDialogs.h"
#include "model/GlowdeckDoc.h"
#include "support/FakeHosts.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

namespace glowdeck::test {

// A single-layer ball: the desktop never has to ask.
class SingleBallShell : public IShellDialogs {
public:
    int AskBallType() override { return 1; }
    int AskLayer() override { return 0; }
};

// The real main window, started as a user starts it: setting.ini with a
// project root and TYPE=1, then "new project" named `project` in the start
// dialog. Widget tests inherit it beside ::testing::Test.
class StartedFrame {
protected:
    explicit StartedFrame(const QString& project) : doc_(sink_) {
        const QString program = dir_.File("bin");
        QDir().mkpath(program);
        dir_.Write("bin/setting.ini",
                   "[PATH]\nPROJECT=" + dir_.File("projects").toUtf8() + "\n[TYPE]\nTYPE=1\n");
        frame_ = std::make_unique<CMainFrame>(doc_, shell_, program);
        frame_->SetProjectDialogs(&dialogs_);
        dialogs_.starts = {IProjectDialogs::StartChoice::NewProject};
        dialogs_.names = {project};
        started_ = frame_->Start();
    }

    TempDir dir_;
    RecordingSink sink_;
    ScriptedDialogs dialogs_;
    SingleBallShell shell_;
    CGlowdeckDoc doc_;
    std::unique_ptr<CMainFrame> frame_;
    bool started_ = false;
};

}  // namespace glowdeck::test
