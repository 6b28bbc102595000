// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CMainFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "app/AppIcons.h"
#include "app/AppLooks.h"
#include "app/CCompileDlg.h"
#include "app/CGlowdeckView.h"
#include "app/CItemListPane.h"
#include "app/CProjectTree.h"
#include "app/CSendDlg.h"
#include "app/CShowWindow.h"
#include "app/ShellDialogs.h"
#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "base/UiLanguage.h"
#include "compile/ProjectCompiler.h"
#include "device/DownloadFrames.h"
#include "editors/CPictureFrame.h"
#include "editors/CTitleView.h"
#include "editors/CViewBmp.h"
#include "editors/CViewGif.h"
#include "editors/CViewNull.h"
#include "editors/CViewTxt.h"
#include "model/CapacityChecks.h"
#include "model/GlowdeckDoc.h"
#include "model/IniFile.h"
#include "model/ProjectLimits.h"
#include "model/TreeRules.h"

namespace glowdeck {

namespace {
using Answer = IMessageSink::Answer;
using Buttons = IMessageSink::Buttons;
using Icon = IMessageSink::Icon;
}  // namespace

CMainFrame::CMainFrame(CGlowdeckDoc& doc, IShellDialogs& dialogs, const QString& programFolder)
    : doc_(doc),
      dialogs_(dialogs),
      start_(doc),
      programFolder_(programFolder),
      folders_(programFolder, ProgramFolders::DefaultUserConfigFolder()) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(ToolIcon(QStringLiteral("project")));
    look_ = StoredLook();

    auto* projectPane = new QDockWidget(tr("项目"), this);
    projectPane->setObjectName(QStringLiteral("projectPane"));
    tree_ = new CProjectTree(doc_, projectPane);
    projectPane->setWidget(tree_);
    projectPane->setMinimumWidth(200);
    addDockWidget(Qt::LeftDockWidgetArea, projectPane);

    auto* listPane = new QDockWidget(tr("图像列表"), this);
    listPane->setObjectName(QStringLiteral("listPane"));
    auto* tabs = new QTabWidget(listPane);
    itemList_ = new CItemListPane(doc_, tabs);
    tabs->addTab(itemList_, tr("列表"));
    listPane->setWidget(tabs);
    listPane->setMinimumHeight(150);
    addDockWidget(Qt::BottomDockWidgetArea, listPane);

    pathPane_ = new QLabel(tr("工程路径"), this);
    statusBar()->addPermanentWidget(pathPane_);
    for (const char* pane : {"EXT", "CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(pane), this);
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
    }
    BuildMenus();
    BuildToolbar();
    // Within the screen's free area, frame and title bar included: this is
    // also the size the window returns to from maximised.
    const QSize room = screen()->availableGeometry().size() - QSize(16, 48);
    resize(QSize(1200, 800).boundedTo(room));

    connect(tree_, &CProjectTree::NodeSelected, this,
            [this](int kind, int, int) { ShowView(kind); });
    // The selected node clicked again while another view shows (the main
    // page): its view comes back.
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        if (node == tree_->currentItem()) ShowSelectedIfHidden();
    });
    // Its thumbnail chosen again does the same.
    connect(itemList_, &CItemListPane::ItemChosen, this, [this](int index) {
        tree_->SelectItemOfCurrentGroup(index);
        ShowSelectedIfHidden();
    });
    connect(tree_, &CProjectTree::NodeActivated, this,
            [this](int kind, int, int) { Activate(kind); });
    connect(&doc_, &CGlowdeckDoc::titleChanged, this, &CMainFrame::SetTitle);
    connect(&doc_, &CGlowdeckDoc::folderChanged, this, &CMainFrame::ShowFolder);
    // The desktop program keeps every edit as a step that can be undone.
    doc_.SetHistoryEnabled(true);
    SetTitle(doc_.Title());
    InitBallType();
    ShowView(0);
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text,
                                const QKeySequence& keys) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    action->setData(id);
    if (!keys.isEmpty()) action->setShortcut(keys);
    commands_.insert(id, action);
    return action;
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("文件(&F)"));
    connect(AddCommand(file, 57600, tr("新建(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &CMainFrame::NewProject);
    connect(AddCommand(file, 57601, tr("打开(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &CMainFrame::OpenProject);
    connect(AddCommand(file, 57603, tr("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] {
                if (const EditResult saved = doc_.SaveProject(); !saved)
                    doc_.Messages().Warn(saved.message);
            });
    file->addSeparator();
    connect(AddCommand(file, 32887, tr("单层球")), &QAction::triggered, this,
            [this] { SetBallType(1); });
    connect(AddCommand(file, 32888, tr("双层球")), &QAction::triggered, this,
            [this] { SetBallType(2); });
    file->addSeparator();
    connect(AddCommand(file, 57665, tr("退出(&X)")), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("编辑(&E)"));
    QAction* undo = AddCommand(edit, 57643, tr("撤销(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = AddCommand(edit, 57644, tr("重复(&R)"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo->setToolTip(tr("撤销"));
    redo->setToolTip(tr("重复"));
    connect(undo, &QAction::triggered, this, &CMainFrame::Undo);
    connect(redo, &QAction::triggered, this, &CMainFrame::Redo);
    // The tips name the step the command would take back or do again; the
    // menu items keep their words.
    connect(&doc_.UndoStack(), &QUndoStack::undoTextChanged, undo, [undo](const QString& step) {
        const QString tip = step.isEmpty()
                                ? QCoreApplication::translate("CMainFrame", "撤销")
                                : QCoreApplication::translate("CMainFrame", "撤销 %1").arg(step);
        undo->setToolTip(tip);
        undo->setStatusTip(tip);
    });
    connect(&doc_.UndoStack(), &QUndoStack::redoTextChanged, redo, [redo](const QString& step) {
        const QString tip = step.isEmpty()
                                ? QCoreApplication::translate("CMainFrame", "重复")
                                : QCoreApplication::translate("CMainFrame", "重复 %1").arg(step);
        redo->setToolTip(tip);
        redo->setStatusTip(tip);
    });

    QMenu* functions = menuBar()->addMenu(tr("功能(&F)"));
    connect(AddCommand(functions, 32871, tr("添加群组(&Q)")), &QAction::triggered, tree_,
            &CProjectTree::AddGroup);
    connect(AddCommand(functions, 32872, tr("添加图片(&T)")), &QAction::triggered, this,
            [this] { tree_->AddItem(ItemKind::Picture); });
    connect(AddCommand(functions, 32873, tr("添加动画(&D)")), &QAction::triggered, this,
            [this] { tree_->AddItem(ItemKind::Animation); });
    connect(AddCommand(functions, 32874, tr("添加文字(&W)")), &QAction::triggered, this,
            [this] { tree_->AddItem(ItemKind::Text); });
    connect(AddCommand(functions, 32875, tr("添加间隔(&J)")), &QAction::triggered, this,
            [this] { tree_->AddItem(ItemKind::Interval); });
    functions->addSeparator();
    connect(AddCommand(functions, 32876, tr("计算长度(&S)")), &QAction::triggered, this,
            &CMainFrame::MemoryReport);
    QAction* clean = AddCommand(functions, 32879, tr("清除临时文件(&C)"));
    connect(clean, &QAction::triggered, this, &CMainFrame::CleanImages);
    clean->setEnabled(false);  // until a project is open (SetTitle)
    functions->addSeparator();
    connect(AddCommand(functions, 32858, tr("编译数据(&B)")), &QAction::triggered, this,
            &CMainFrame::Compile);
    connect(AddCommand(functions, 32859, tr("发送数据(&F)")), &QAction::triggered, this,
            &CMainFrame::Send);
    connect(AddCommand(functions, 32890, tr("放映")), &QAction::triggered, this, [this] {
        auto* window = findChild<CShowWindow*>();
        if (!window) window = new CShowWindow(doc_, this);
        window->SetBall({ballType_, layer_});
        window->show();
        window->raise();
    });
    // Each prompt is "status-bar text\ntooltip".
    const QList<QPair<int, QString>> prompts = {
        {32858, tr("编译图像数据\n编译")},
        {32859, tr("发送数据到Orbilux\n发送")},
        {32890, tr("放映编译好的数据，平面和球面\n放映")},
        {32871, tr("新建组\n组")},
        {32872, tr("插入图片\n图片")},
        {32873, tr("插入动画\n动画")},
        {32874, tr("插入文字\n文字")},
        {32875, tr("插入间隔\n间隔")},
    };
    for (const auto& [id, prompt] : prompts) {
        commands_[id]->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
        commands_[id]->setToolTip(prompt.section(QLatin1Char('\n'), 1));
    }

    QMenu* view = menuBar()->addMenu(tr("查看(&V)"));
    QMenu* toolbars = view->addMenu(tr("工具栏(&T)"));
    toolbars->setObjectName(QStringLiteral("toolbarsMenu"));
    QAction* statusToggle = AddCommand(view, 59393, tr("状态栏(&S)"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    QMenu* looks = view->addMenu(tr("程序外观(&A)"));
    auto* lookGroup = new QActionGroup(this);
    for (const AppLook& look : AppLooks()) {
        QAction* a = AddCommand(looks, look.id, look.menuText);
        a->setCheckable(true);
        lookGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, id = look.id] { SetLook(id); });
    }
    connect(AddCommand(view, 32860, tr("显示主页面(&X)")), &QAction::triggered, this,
            [this] { ShowView(0); });

    QMenu* layers = menuBar()->addMenu(tr("内外层选择(&S)"));
    connect(AddCommand(layers, 32885, tr("内层(&I)")), &QAction::triggered, this,
            [this] { SetLayer(1); });
    connect(AddCommand(layers, 32886, tr("外层(&O)")), &QAction::triggered, this,
            [this] { SetLayer(0); });

    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    connect(AddCommand(help, 32880, tr("帮助文档(&H)"), QKeySequence::HelpContents),
            &QAction::triggered, this, &CMainFrame::Help);
    connect(AddCommand(help, 32878, tr("恢复出厂文件(&R)")), &QAction::triggered, this,
            &CMainFrame::FactoryRestore);
    connect(
        AddCommand(help, 57664, tr("关于\"Orbilux图文软件\"(&A)...")), &QAction::triggered, this,
        [this] {
            doc_.Messages().Show(
                tr("Glowdeck %1\nOrbilux 彩球图文编辑与下载").arg(QStringLiteral(GLOWDECK_VERSION)),
                tr("关于 Glowdeck"), Icon::Information);
        });
    commands_[57600]->setToolTip(tr("新建"));
    commands_[57601]->setToolTip(tr("打开"));
    commands_[57603]->setToolTip(tr("保存"));
    commands_[32880]->setToolTip(tr("帮助"));
    for (int id : {32887, 32888, 32885, 32886}) commands_[id]->setCheckable(true);
    UpdateChecks();
}

void CMainFrame::BuildToolbar() {
    QToolBar* bar = addToolBar(tr("Standard"));
    bar->setObjectName(QStringLiteral("standardToolbar"));
    bar->setIconSize(QSize(24, 24));
    const QList<QPair<int, QString>> buttons = {
        {57600, QStringLiteral("new")},
        {57601, QStringLiteral("open")},
        {57603, QStringLiteral("save")},
        {0, QString()},
        {57643, QStringLiteral("undo")},
        {57644, QStringLiteral("redo")},
        {0, QString()},
        {32871, QStringLiteral("add-group")},
        {32872, QStringLiteral("picture")},
        {32873, QStringLiteral("animation")},
        {32874, QStringLiteral("text")},
        {32875, QStringLiteral("interval")},
        {0, QString()},
        {32858, QStringLiteral("compile")},
        {32859, QStringLiteral("send")},
        {0, QString()},
        {32880, QStringLiteral("help")},
    };
    for (const auto& [id, icon] : buttons) {
        if (!id) {
            bar->addSeparator();
            continue;
        }
        commands_[id]->setIcon(ToolIcon(icon));
        bar->addAction(commands_[id]);
    }
    // The show window's button after send, in a section of its own.
    commands_[32890]->setIcon(ToolIcon(QStringLiteral("show")));
    bar->insertAction(commands_[32880], commands_[32890]);
    bar->insertSeparator(commands_[32880]);
    if (QMenu* toolbars = findChild<QMenu*>(QStringLiteral("toolbarsMenu")))
        toolbars->addAction(bar->toggleViewAction());
}

void CMainFrame::UpdateChecks() {
    const bool twoLayers = ballType_ == 2;
    commands_[32885]->setEnabled(twoLayers);
    commands_[32886]->setEnabled(twoLayers);
    commands_[32885]->setChecked(twoLayers && layer_ != 0);
    commands_[32886]->setChecked(twoLayers && layer_ == 0);
    commands_[32887]->setChecked(ballType_ == 1);
    commands_[32888]->setChecked(ballType_ == 2);
    if (QAction* look = commands_.value(look_)) look->setChecked(true);
    // An open show window follows the ball type and layer at once.
    if (auto* show = findChild<CShowWindow*>()) show->SetBall({ballType_, layer_});
}

void CMainFrame::InitBallType() {
    CIniFile ini(folders_.SettingsFile());
    ballType_ = StoredBallType(ini);
    if (ballType_ == 0) {
        ballType_ = dialogs_.AskBallType();
        StoreBallType();
    }
    UpdateChecks();
}

bool CMainFrame::Start(const QString& project) {
    if (!start_.StartUp(folders_.WritableFolder(), project)) return false;
    AskLayerIfDouble();
    return true;
}

void CMainFrame::AskLayerIfDouble() {
    if (ballType_ == 2) SetLayer(dialogs_.AskLayer());
}

void CMainFrame::NewProject() {
    if (start_.CreateProject()) AskLayerIfDouble();
}

void CMainFrame::OpenProject() {
    if (start_.OpenProject()) AskLayerIfDouble();
}

void CMainFrame::SetBallType(int type) {
    ballType_ = type;
    if (type == 1) layer_ = 0;
    StoreBallType();
    UpdateChecks();
}

void CMainFrame::StoreBallType() {
    CIniFile ini(folders_.SettingsFile());
    QString error;
    // The choice holds for this run either way; say why it will be asked again.
    if (!ini.SetString(QStringLiteral("TYPE"), QStringLiteral("TYPE"), QString::number(ballType_),
                       &error))
        doc_.Messages().Warn(tr("设置文件保存失败：\n%1\n%2").arg(folders_.SettingsFile(), error));
}

void CMainFrame::SetLayer(int layer) {
    layer_ = layer;
    UpdateChecks();
}

bool CMainFrame::RunCompileDialog() {
    CCompileDlg dialog(doc_, {ballType_, layer_}, this);
    const bool compiled = dialog.exec() == QDialog::Accepted;
    // What happened stays in the status bar after the window is gone.
    switch (dialog.LastOutcome()) {
        case CCompileDlg::Outcome::Compiled: {
            const std::uint32_t bytes = dialog.Summary().bytes;
            statusBar()->showMessage(
                tr("编译完成：data.bin 共 %1 字节（列数据加索引），占彩球存储空间（%2 "
                   "字节）的 %3%")
                    .arg(bytes)
                    .arg(MaxTotalDataBytes)
                    .arg(100.0 * bytes / MaxTotalDataBytes, 0, 'f', 1));
            break;
        }
        case CCompileDlg::Outcome::Failed:
            statusBar()->showMessage(tr("编译失败：data.bin 保持原样"));
            break;
        case CCompileDlg::Outcome::Cancelled:
            statusBar()->showMessage(tr("编译已取消：data.bin 保持原样"));
            break;
        case CCompileDlg::Outcome::NotRun:
            break;
    }
    return compiled;
}

void CMainFrame::RunSendDialog(bool factory) {
    CSendDlg dialog(doc_.Messages(), doc_.DataFilePath(), {ballType_, layer_}, this);
    if (factory)
        dialog.SetFactoryMode(folders_.FolderHolding(frames::FactoryFileName({ballType_, layer_})));
    else  // the window says when data.bin lags behind the project and offers to compile
        dialog.SetCompiledCheck([this] { return CompiledDataStale(doc_); },
                                [this] { return RunCompileDialog(); });
    dialog.exec();
}

void CMainFrame::Compile() { RunCompileDialog(); }

void CMainFrame::Send() { RunSendDialog(false); }

void CMainFrame::MemoryReport() {
    if (!doc_.ProjectFile()) return;
    try {
        doc_.RecomputeTotalDataBytes();
    } catch (const AccessError& e) {
        doc_.Messages().Warn(DamagedProjectText(e));
        return;
    }
    // The account counts the items' columns; data.bin adds its index.
    doc_.Messages().Show(tr("目前占用了%1内存,占总内存数量的百分之%2！")
                                 .arg(doc_.TotalDataBytes())
                                 .arg(doc_.TotalDataBytes() * 0.0002, 0, 'f', 1) +
                             tr("\n（各项的列数据，每列 21 字节；编译出的 data.bin "
                                "另含索引，故略大）"),
                         IMessageSink::Caption(), Icon::Information);
}

void CMainFrame::CleanImages() {
    if (!doc_.ProjectFile()) return;
    const image_use::Removal removal = doc_.RemoveUnusedImages();
    if (!removal.ok) {
        doc_.Messages().Warn(removal.message);
        return;
    }
    doc_.Messages().Show(removal.removed.isEmpty()
                             ? tr("没有需要清除的文件。")
                             : tr("已清除 %1 个未使用的图像文件，共 %2 字节。")
                                   .arg(removal.removed.size())
                                   .arg(removal.bytes),
                         IMessageSink::Caption(), Icon::Information);
}

void CMainFrame::FactoryRestore() {
    if (doc_.Messages().Show(tr("恢复出厂配置将删除当前球内数据，是否继续进行？"),
                             IMessageSink::Caption(), Icon::Question,
                             Buttons::YesNo) == Answer::Yes)
        RunSendDialog(true);
}

void CMainFrame::Help() {
    const QString chm = programFolder_ + QStringLiteral("/Readme.chm");
    const QString guide = GuidePage(folders_.HelpFolder(), CurrentUiLanguage());
    if (QFileInfo::exists(chm) && QDesktopServices::openUrl(QUrl::fromLocalFile(chm))) return;
    // A browser only when the desktop has a launcher for it (openUrl fails
    // quietly otherwise); else the guide in a window of our own.
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() &&
        LaunchBrowser(guide))
        return;
    ShowHelpWindow(guide);
}

bool CMainFrame::LaunchBrowser(const QString& guide) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(guide));
}

void CMainFrame::ShowHelpWindow(const QString& guide) {
    if (!helpWindow_) {
        helpWindow_ = new QTextBrowser(this);
        helpWindow_->setWindowFlag(Qt::Window);
        helpWindow_->setObjectName(QStringLiteral("helpWindow"));
        helpWindow_->setWindowTitle(tr("帮助文档"));
        helpWindow_->setOpenExternalLinks(true);
        helpWindow_->resize(900, 700);
    }
    helpWindow_->setSource(QUrl::fromLocalFile(guide));
    helpWindow_->show();
    helpWindow_->raise();
}

void CMainFrame::SetLook(int id) {
    look_ = id;
    ApplyLook(id);
    StoreLook(id);
    UpdateChecks();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (doc_.Messages().Show(tr("是否要退出？"), IMessageSink::Caption(), Icon::Question,
                             Buttons::YesNo) != Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    // Paint windows are windows of their own: close them with the program,
    // and end the program even if some other window is still up.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && qobject_cast<CPaintWindow*>(window)) window->close();
    QCoreApplication::quit();
}

void CMainFrame::ShowView(int viewKind) {
    const TreeNode node = tree_->NodeOf(tree_->currentItem());
    // The item list takes the focus when it shows a group, but not from the
    // tree: its keys walk the tree.
    const bool treeFocused = focusWidget() == tree_;
    QWidget* next = nullptr;
    switch (viewKind) {
        case 1:
            next = new CTitleView(tr("项目"), this);
            itemList_->Clear();
            break;
        case 3:
            next = new CTitleView(tr("组"), this);
            itemList_->ShowGroup(node.group, 1);
            break;
        case 5:
        case 7:
        case 9:
        case 11: {
            const int g = node.group - 1;
            const int i = FilePosition(*doc_.ProjectFile(), node.group, node.item) - 1;
            const CItemView::ShowGroup refresh = [this](int group) { itemList_->ShowGroup(group); };
            if (viewKind == 5) next = new CViewGif(doc_, g, i, refresh, this);
            if (viewKind == 7) next = new CViewBmp(doc_, g, i, refresh, this);
            if (viewKind == 9) next = new CViewTxt(doc_, g, i, refresh, this);
            if (viewKind == 11) next = new CViewNull(doc_, g, i, refresh, this);
            connect(static_cast<CItemView*>(next), &CItemView::Stored, this,
                    &CMainFrame::SayIfShowTooLarge);
            itemList_->ShowGroup(node.group, node.item);  // the tree's item selected
            break;
        }
        default:
            next = new CGlowdeckView(this);
            viewKind = 0;
            break;
    }
    next->setObjectName(QStringLiteral("view%1").arg(viewKind));
    // The view scrolls when the window is smaller than it (a small screen):
    // it never makes the main window larger than the screen.
    auto* area = new QScrollArea(this);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(next);
    setCentralWidget(area);  // the old view is destroyed
    view_ = next;
    viewKind_ = viewKind;
    if (treeFocused) tree_->setFocus();
}

void CMainFrame::SayIfShowTooLarge() {
    // The edit is kept: the show is cut down before the next compile.
    const QString tooLarge = ShowTooLargeMessage(doc_, BallConfig{ballType_, layer_});
    if (!tooLarge.isEmpty())
        statusBar()->showMessage(tooLarge);
    else if (statusBar()->currentMessage() == shownTooLarge_)
        statusBar()->clearMessage();
    shownTooLarge_ = tooLarge;
}

void CMainFrame::ShowFolder(const QString& folder) {
    pathPane_->setText(folder);
    pathPane_->setMinimumWidth(pathPane_->fontMetrics().horizontalAdvance(folder) + 8);
}

namespace {
// The paint frame that has the keyboard focus, if any.
CPictureFrame* FocusedPaintFrame() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CPictureFrame*>(w)) return frame;
    return nullptr;
}
}  // namespace

void CMainFrame::Undo() {
    // A frame that only shows a picture, or has no stroke left, leaves the
    // keys to the project.
    if (CPictureFrame* frame = FocusedPaintFrame(); frame && frame->HasStrokeToUndo()) {
        frame->Undo();
        return;
    }
    StorePendingEdit();
    if (doc_.UndoStack().canUndo()) StepTaken(doc_.Undo());
}

void CMainFrame::Redo() {
    if (CPictureFrame* frame = FocusedPaintFrame(); frame && frame->HasStrokeToRedo()) {
        frame->Redo();
        return;
    }
    StorePendingEdit();
    if (doc_.UndoStack().canRedo()) StepTaken(doc_.Redo());
}

void CMainFrame::StorePendingEdit() {
    // A slider just moved is the last edit: stored now, it is the step an
    // undo takes back, instead of being lost with the editor built anew.
    if (auto* view = qobject_cast<CItemView*>(view_)) view->StorePending();
}

void CMainFrame::StepTaken(const EditResult& result) {
    if (!result) return doc_.Messages().Warn(result.message);
    // The item shown may be another one now, or have other settings.
    const QTreeWidgetItem* current = tree_->currentItem();
    ShowView(current ? current->data(0, CProjectTree::KindRole).toInt() : 0);
    SayIfShowTooLarge();
}

void CMainFrame::ShowSelectedIfHidden() {
    const QTreeWidgetItem* node = tree_->currentItem();
    if (!node) return;
    const int kind = node->data(0, CProjectTree::KindRole).toInt();
    if (kind != viewKind_) ShowView(kind);
}

void CMainFrame::Activate(int viewKind) {
    // Enter on the node whose view the main page hides brings it back first.
    ShowSelectedIfHidden();
    if (viewKind == 3) return itemList_->setFocus();
    if (!view_ || viewKind < 5) return;
    const QList<QWidget*> children = view_->findChildren<QWidget*>();
    for (QWidget* w : children)
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(view_))
            return w->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::SetTitle(const QString& title) {
    setWindowTitle(QStringLiteral("%1 - Orbilux").arg(title));
    // The document names its project here whenever one is created or opened.
    if (QAction* clean = commands_.value(32879)) clean->setEnabled(doc_.ProjectFile() != nullptr);
}

}  // namespace glowdeck
