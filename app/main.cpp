// Glowdeck: the desktop editor and downloader for the LED ball.
#include <QApplication>

#include "app/AppDialogs.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/QtMessageSink.h"
#include "model/GlowdeckDoc.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Glowdeck"));

    glowdeck::QtMessageSink messages;
    glowdeck::CGlowdeckDoc doc(messages);
    glowdeck::CMainFrame frame(doc);
    messages.SetParent(&frame);
    glowdeck::AppDialogs dialogs(&frame);
    doc.SetDialogs(&dialogs);
    doc.SetTreeView(frame.Tree());
    doc.SetFrameView(&frame);

    frame.showMaximized();
    if (!doc.StartUp(QCoreApplication::applicationDirPath())) return 0;
    return app.exec();
}
