// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the main window on a sample project and saves pictures of it with
// each editor open (run under a real X server: xvfb-run):
//   shell-screenshot FOLDER   → main-window.png, editor-animation.png,
//                               editor-text.png, editor-interval.png
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/ShellDialogs.h"
#include "base/MessageSink.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "support/FakeHosts.h"

using namespace glowdeck;

namespace {
class Single : public IShellDialogs {
public:
    int AskBallType() override { return 1; }
    int AskLayer() override { return 0; }
};

QImage Sunset(int seed) {
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor::fromHsv((seed * 40) % 360, 180, 255));
    sky.setColorAt(1, QColor::fromHsv((seed * 40 + 60) % 360, 255, 120));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(255, 230, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(200 + seed * 60, 200), 90, 90);
    p.setBrush(QColor(20, 60, 30));
    p.drawRect(0, 360, 640, 120);
    return image;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("bin")));
    QFile ini(dir.filePath(QStringLiteral("bin/setting.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[TYPE]\nTYPE=1\n[PATH]\nPROJECT=" +
              dir.filePath(QStringLiteral("projects")).toUtf8() + "\n");
    ini.close();

    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    Single shell;
    test::ScriptedDialogs dialogs;
    dialogs.starts = {IProjectDialogs::StartChoice::NewProject};
    dialogs.names = {QStringLiteral("夏日彩球")};
    CMainFrame frame(doc, shell, dir.filePath(QStringLiteral("bin")));
    frame.SetProjectDialogs(&dialogs);
    frame.resize(1280, 800);
    frame.show();
    if (!frame.Start()) return 1;

    CProjectTree& tree = *frame.Tree();
    tree.setCurrentItem(tree.GroupNode(1));
    for (int k = 0; k < 4; ++k) {
        tree.AddItem(ItemKind::Picture);
        const int i = doc.ProjectFile()->ItemCount(0) - 1;
        if (!EncodeImage(
                Sunset(k),
                doc.SourceImagePathFor(ItemKind::Picture, doc.ProjectFile()->GetAttr(0, i, "id")),
                QStringLiteral("image/jpeg")))
            return 1;
        doc.ProjectFile()->SetInt(0, i, "width", 640);
        doc.ProjectFile()->SetInt(0, i, "height", 480);
    }
    tree.AddItem(ItemKind::Animation);
    tree.AddItem(ItemKind::Text);
    tree.AddItem(ItemKind::Interval);
    tree.AddGroup();
    tree.AddItem(ItemKind::Text);
    // A real animation, text and interval for their editors.
    std::vector<QImage> frames;
    for (int f = 0; f < 12; ++f) frames.push_back(Sunset(f % 6).scaled(160, 120));
    QByteArray gif;
    if (!EncodeGif(frames, std::vector<int>(12, 10), 0, &gif)) return 1;
    const QString gifPath = dir.filePath(QStringLiteral("sun.gif"));
    QFile gifFile(gifPath);
    gifFile.open(QIODevice::WriteOnly);
    gifFile.write(gif);
    gifFile.close();
    auto made = [](const EditResult& result) {
        if (!result) qFatal("%s", qPrintable(result.message));
    };
    made(item_ops::SetAnimationSource(doc, 0, 4, gifPath));
    item_ops::TextSettings text;
    text.text = QStringLiteral("欢迎来到 Glowdeck 夏日彩球之夜，光影随球旋转，文字一圈又一圈");
    text.fontSize = 10;
    text.textColour = 0x00FFFF;
    text.backColour = 0xFF0000;
    made(item_ops::ConfirmText(doc, 0, 5, text));
    made(item_ops::ApplyInterval(doc, 0, 6, 40, 0x00FF00));

    const QString folder = QString::fromLocal8Bit(argv[1]);
    auto shoot = [&](int item, const QString& name) {
        tree.setCurrentItem(tree.ItemNode(1, item));
        frame.ItemList()->FinishThumbnails();
        QTest::qWait(300);
        QScreen* screen = frame.screen();
        const QPixmap shot = screen ? screen->grabWindow(frame.winId()) : frame.grab();
        return shot.save(folder + QLatin1Char('/') + name, "PNG");
    };
    const bool ok = shoot(2, QStringLiteral("main-window.png")) &&
                    shoot(5, QStringLiteral("editor-animation.png")) &&
                    shoot(6, QStringLiteral("editor-text.png")) &&
                    shoot(7, QStringLiteral("editor-interval.png"));
    return ok ? 0 : 1;
}
