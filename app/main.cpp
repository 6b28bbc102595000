// SPDX-License-Identifier: GPL-3.0-or-later
// Glowdeck: the desktop editor and downloader for the LED ball.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppDialogs.h"
#include "app/AppLooks.h"
#include "app/AppTranslations.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/QtMessageSink.h"
#include "app/StartCheck.h"
#include "base/Allocator.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"

namespace {

// The splash picture "some2.dll" from the working folder (any picture
// format, whatever its name), about 90 % opaque. It shows while the program
// loads, for at most 2000 ms, and is gone before the first dialog; without a
// picture nothing waits.
std::unique_ptr<QSplashScreen> ShowSplash() {
    // Read as every picture is: a FIFO or a device of that name is skipped.
    const QImage picture =
        glowdeck::DecodeImage(QDir::current().filePath(QStringLiteral("some2.dll")));
    if (picture.isNull()) return nullptr;
    auto splash =
        std::make_unique<QSplashScreen>(QPixmap::fromImage(picture), Qt::WindowStaysOnTopHint);
    splash->setWindowOpacity(230.0 / 255.0);
    splash->show();
    QTimer::singleShot(2000, splash.get(), &QWidget::close);
    QCoreApplication::processEvents();  // paint it before the loading starts
    return splash;
}

const char kUsage[] =
    "usage: glowdeck [PROJECT]\n"
    "  PROJECT        a project folder, or its Index.prj, to open without the start dialog\n"
    "  --version      print the version and exit\n"
    "  --check-start  start as far as the start dialog, report it and exit: 0 when it was\n"
    "                 shown, 1 when not (dialogs before it are dismissed)\n";

bool HasFlag(int argc, char** argv, const char* flag) {
    for (int k = 1; k < argc; ++k)
        if (std::strcmp(argv[k], flag) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    glowdeck::KeepFreedMemoryForReuse();
    // Answered before Qt starts: these need no display.
    if (HasFlag(argc, argv, "--version")) {
        std::printf("glowdeck %s\n", GLOWDECK_VERSION);
        return 0;
    }
    if (HasFlag(argc, argv, "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QApplication app(argc, argv);
    std::unique_ptr<glowdeck::StartCheck> check;
    if (HasFlag(argc, argv, "--check-start"))
        check = std::make_unique<glowdeck::StartCheck>([](const QString& line) {
            std::printf("%s\n", line.toUtf8().constData());
            std::fflush(stdout);
        });
    // The program's texts and Qt's own (file dialog, Yes/No/OK/Cancel) in the
    // user's language, Chinese or English, before any window is made.
    glowdeck::InstallTranslations(app);
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Glowdeck"));
    glowdeck::ApplyLook(glowdeck::StoredLook());
    std::unique_ptr<QSplashScreen> splash = ShowSplash();

    glowdeck::QtMessageSink messages;
    glowdeck::CGlowdeckDoc doc(messages);
    glowdeck::AppDialogs dialogs(nullptr, messages);
    dialogs.SetProjectRoot([&doc] { return doc.ProjectRoot(); });
    glowdeck::CMainFrame frame(doc, dialogs, QCoreApplication::applicationDirPath());
    messages.SetParent(&frame);
    frame.SetProjectDialogs(&dialogs);
    frame.showMaximized();
    // "glowdeck PROJECT": a project folder or its Index.prj opens directly.
    QStringList arguments = QCoreApplication::arguments().mid(1);
    arguments.removeAll(QStringLiteral("--check-start"));
    splash.reset();  // loaded: the start dialog comes next
    const bool started = frame.Start(arguments.isEmpty() ? QString() : arguments.first());
    if (check) return check->StartDialogSeen() || started ? 0 : 1;
    if (!started) return 0;
    return app.exec();
}
