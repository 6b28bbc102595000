#include "model/GlowdeckDoc.h"

#include <QDir>
#include <QFileInfo>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/Cp936.h"
#include "base/MessageSink.h"
#include "model/FrameView.h"
#include "model/IniFile.h"
#include "model/ProjectDialogs.h"
#include "model/ProjectTreeView.h"

namespace glowdeck {

namespace {
constexpr int kMainView = 0;
const QString kProjectFileName = QStringLiteral("Index.prj");

// The project file of a folder: "Index.prj", or any file of that name in
// another letter case.
QString FindProjectFile(const QString& folder) {
    const QString exact = folder + kProjectFileName;
    if (QFileInfo::exists(exact)) return exact;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (name.compare(kProjectFileName, Qt::CaseInsensitive) == 0) return folder + name;
    return exact;
}
}  // namespace

CGlowdeckDoc::CGlowdeckDoc(IMessageSink& messages)
    : messages_(messages), sourceImagePath_(MaxGroups * MaxItemsPerGroup) {
    SetProjectRoot(DefaultProjectRoot());
    buildHint = DefaultBuildHint();
    // Until a project is created or opened the paths name a demonstration project.
    projectFolder = projectRoot + QStringLiteral("DEMO/");
    imagesFolder = projectFolder + QStringLiteral("IMAGES/");
    projectFilePath = projectFolder + QStringLiteral("INDEX.PRJ");
    dataFilePath = projectFolder + QStringLiteral("data.bin");
    sourceImagePath_[0] = imagesFolder + QStringLiteral("DEMO.JPG");
}

CGlowdeckDoc::~CGlowdeckDoc() = default;

QString CGlowdeckDoc::DefaultProjectRoot() { return QDir::homePath() + QStringLiteral("/TOVRIX/"); }

QString CGlowdeckDoc::DefaultBuildHint() {
    return QStringLiteral("编译后，可以向彩球发送编译数据！");
}

void CGlowdeckDoc::SetProjectRoot(const QString& root) {
    projectRoot = root;
    if (!projectRoot.endsWith(QLatin1Char('/'))) projectRoot += QLatin1Char('/');
}

void CGlowdeckDoc::LoadSettings(const QString& programFolder) {
    QString folder = programFolder;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    iniPath = folder + QStringLiteral("setting.ini");
    const CIniFile ini(iniPath);
    SetProjectRoot(
        ini.GetString(QStringLiteral("PATH"), QStringLiteral("PROJECT"), DefaultProjectRoot()));
    buildHint =
        ini.GetString(QStringLiteral("README"), QStringLiteral("BUILD"), DefaultBuildHint());
}

void CGlowdeckDoc::SetProjectPaths(const QString& name) { SetProjectFolder(projectRoot + name); }

void CGlowdeckDoc::SetProjectFolder(const QString& folder) {
    projectFolder = folder;
    if (!projectFolder.endsWith(QLatin1Char('/'))) projectFolder += QLatin1Char('/');
    imagesFolder = projectFolder + QStringLiteral("Images/");
    projectFilePath = projectFolder + kProjectFileName;
    dataFilePath = projectFolder + QStringLiteral("data.bin");
}

bool CGlowdeckDoc::StartUp(const QString& programFolder, const QString& project) {
    LoadSettings(programFolder);
    title = QStringLiteral("New");
    if (frame_) {
        frame_->SetTitle(title);
        frame_->ShowView(kMainView);
        frame_->SetStatusPane(1, QStringLiteral("工程路径"), 50);
    }
    if (!project.isEmpty()) {
        const QFileInfo given(project);
        if (!given.exists())
            messages_.Warn(QStringLiteral("找不到项目：%1").arg(project));
        else if (given.isDir() ? OpenProjectFolder(project) : OpenProjectFile(project))
            return true;
    }
    if (!dialogs_) return false;
    for (;;) {
        switch (dialogs_->AskStart()) {
            case IProjectDialogs::StartChoice::NewProject:
                if (CreateProject()) return true;
                break;
            case IProjectDialogs::StartChoice::OpenProject:
                if (OpenProject()) return true;
                break;
            case IProjectDialogs::StartChoice::Quit:
                return false;
        }
    }
}

bool CGlowdeckDoc::CreateProject() {
    if (!dialogs_) return false;
    const std::optional<QString> name = dialogs_->AskNewProjectName();
    if (!name) return false;
    return CreateProjectNamed(*name);
}

bool CGlowdeckDoc::IsProjectName(const QString& name) {
    return CProjectFile::IsPlainFileName(name) && name != QLatin1String(".");
}

bool CGlowdeckDoc::CreateProjectNamed(const QString& name, QString* why) {
    // A name such as "../x" would put the project outside the root.
    if (!IsProjectName(name)) {
        if (why) *why = QStringLiteral("项目名称不能含有路径：%1").arg(name);
        return false;
    }
    const QString folder = projectRoot + name;
    QDir().mkpath(projectRoot);
    if (!QDir().mkdir(folder)) {
        if (why) *why = QStringLiteral("项目文件夹已存在或无法建立：%1/").arg(folder);
        return false;
    }
    CProjectLock lock;
    QString refusal;
    if (!lockProgram_.isEmpty() && !lock.Acquire(folder, lockProgram_, lockWaitMs_, &refusal)) {
        if (why) *why = refusal;
        return false;
    }
    lock_ = std::move(lock);
    SetProjectPaths(name);
    if (!QDir().mkdir(imagesFolder)) {
        if (why) *why = QStringLiteral("无法建立图像文件夹：%1").arg(imagesFolder);
        return false;
    }
    projectFile_.reset();
    projectFile_ = std::make_unique<CProjectFile>(projectFilePath, name);
    if (!Saved()) {
        if (why) *why = QStringLiteral("无法保存项目文件：%1").arg(projectFilePath);
        return false;
    }
    if (tree_) tree_->ResetTree(name);
    const QString groupName = QStringLiteral("新建组");
    NewGroup(groupName);
    if (tree_) tree_->AddGroupNode(groupName, true);
    title = name;
    if (frame_) frame_->SetTitle(title);
    if (tree_) tree_->ExpandAll();
    needsCompile = true;
    return true;
}

bool CGlowdeckDoc::OpenProject() {
    if (!dialogs_) return false;
    const std::optional<QString> chosen = dialogs_->AskProjectFile(projectRoot);
    if (!chosen) return false;
    return OpenProjectFile(*chosen);
}

bool CGlowdeckDoc::OpenProjectFile(const QString& chosenFile) {
    // The project is the folder holding the chosen file, where it is.
    return OpenAt(QFileInfo(chosenFile).absolutePath());
}

bool CGlowdeckDoc::OpenProjectFolder(const QString& folder) { return OpenAt(folder); }

bool CGlowdeckDoc::LockFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (lockProgram_.isEmpty()) return true;  // a reader that never writes
    if (lock_.Held() && lock_.Folder() == clean) return true;
    CProjectLock lock;
    QString why;
    if (!lock.Acquire(clean, lockProgram_, lockWaitMs_, &why)) {
        messages_.Warn(why);
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

bool CGlowdeckDoc::OpenAt(const QString& folderPath) {
    const QString folder = QDir::cleanPath(QDir(folderPath).absolutePath());
    const QString name = QFileInfo(folder).fileName();
    if (!LockFolder(folder)) return false;
    SetProjectFolder(folder);
    projectFilePath = FindProjectFile(projectFolder);
    // Temporary files of saves that were killed; we hold the project, so
    // no other program is writing them.
    if (!lockProgram_.isEmpty()) {
        RemoveStaleTemporaries(projectFilePath);
        RemoveStaleTemporariesIn(imagesFolder);
    }
    projectFile_.reset();
    projectFile_ = std::make_unique<CProjectFile>(projectFilePath);
    if (!projectFile_->Loaded() && QFileInfo::exists(projectFilePath))
        messages_.Warn(
            QStringLiteral(
                "项目文件无法读取，现以空项目打开（原文件在首次保存前另存为 .bak）：\n%1\n%2")
                .arg(projectFilePath, projectFile_->LoadError()));
    if (tree_) tree_->ResetTree(name);
    // 7 pixels per byte of the path as code page 936 text (two per Chinese character).
    if (frame_) frame_->SetStatusPane(1, projectFolder, 7 * ToCp936(projectFolder).size());
    FillTree();
    title = name;
    if (frame_) frame_->SetTitle(title);
    if (tree_) tree_->ExpandAll();
    return true;
}

void CGlowdeckDoc::FillTree() {
    const CProjectFile& file = *projectFile_;
    for (int g = 0; g < file.GroupCount(); ++g) {
        if (tree_) tree_->AddGroupNode(file.GroupName(g), false);
        for (int i = 0; i < file.ItemCount(g); ++i) {
            const QString kind = file.ItemKindOf(g, i);
            QString caption;
            try {
                caption = file.GetAttr(g, i, "name");
            } catch (const AccessError&) {
                // A hand-edited item without a name still gets its node.
            }
            if (tree_) tree_->AddItemNode(g, kind, caption);
            if (kind == QLatin1String("gif") && g < MaxGroups) ++animationCount[g];
        }
    }
}

bool CGlowdeckDoc::Saved() {
    QString error;
    if (projectFile_->Save(&error)) return true;
    messages_.Warn(
        QStringLiteral("项目文件保存失败：\n%1\n%2").arg(projectFile_->FilePath(), error));
    return false;
}

std::unique_ptr<CGlowdeckDoc> CGlowdeckDoc::CompileSnapshot(IMessageSink& messages) const {
    auto copy = std::make_unique<CGlowdeckDoc>(messages);
    copy->lockProgram_.clear();
    copy->projectRoot = projectRoot;
    copy->projectFolder = projectFolder;
    copy->imagesFolder = imagesFolder;
    copy->projectFilePath = projectFilePath;
    copy->dataFilePath = dataFilePath;
    copy->title = title;
    copy->needsCompile = needsCompile;
    if (projectFile_)
        copy->projectFile_ = std::make_unique<CProjectFile>(
            projectFilePath, projectFile_->Serialize(), projectFile_->ProjectName());
    return copy;
}

bool CGlowdeckDoc::SaveProject() { return projectFile_ && Saved(); }

}  // namespace glowdeck
