// Glowdeck: the desktop editor and downloader for the LED ball.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QImageReader>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

#include "base/Allocator.h"
#include "app/AppDialogs.h"
#include "app/AppLooks.h"
#include "app/AppTranslations.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/QtMessageSink.h"
#include "model/GlowdeckDoc.h"

namespace {

// The splash picture "some2.dll" from the working folder (any picture
// format, whatever its name), about 90 % opaque, for 2000 ms; the wait stays
// when there is no picture.
void Splash() {
    QImageReader reader(QDir::current().filePath(QStringLiteral("some2.dll")));
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    QSplashScreen* splash = nullptr;
    if (!picture.isNull()) {
        splash = new QSplashScreen(QPixmap::fromImage(picture), Qt::WindowStaysOnTopHint);
        splash->setWindowOpacity(230.0 / 255.0);
        splash->show();
    }
    QEventLoop wait;
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);
    wait.exec();
    delete splash;
}

}  // namespace

int main(int argc, char** argv) {
    glowdeck::KeepFreedMemoryForReuse();
    QApplication app(argc, argv);
    // Qt's own dialogs and buttons (file dialog, Yes/No/OK/Cancel) in Chinese
    // like the rest of the program, before any window is made.
    glowdeck::InstallQtTranslations(app);
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Glowdeck"));
    glowdeck::ApplyLook(glowdeck::StoredLook());
    Splash();

    glowdeck::QtMessageSink messages;
    glowdeck::CGlowdeckDoc doc(messages);
    glowdeck::AppDialogs dialogs(nullptr, messages);
    glowdeck::CMainFrame frame(doc, dialogs, QCoreApplication::applicationDirPath());
    messages.SetParent(&frame);
    doc.SetDialogs(&dialogs);
    doc.SetTreeView(frame.Tree());
    doc.SetFrameView(&frame);
    frame.showMaximized();
    // "glowdeck PROJECT": a project folder or its Index.prj opens directly.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!frame.Start(arguments.isEmpty() ? QString() : arguments.first())) return 0;
    return app.exec();
}
