// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GlowdeckDoc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/MessageSink.h"
#include "model/EditHistory.h"
#include "model/IniFile.h"
#include "model/ItemTemplate.h"
#include "model/ProjectQueries.h"
#include "model/StagedFolder.h"

namespace glowdeck {

namespace {
const QString kProjectFileName = QStringLiteral("Index.prj");
}  // namespace

CGlowdeckDoc::CGlowdeckDoc(IMessageSink& messages)
    : messages_(messages), sourceImagePath_(MaxGroups * MaxItemsPerGroup) {
    SetProjectRoot(DefaultProjectRoot());
    buildHint_ = DefaultBuildHint();
    // Until a project is created or opened the paths name a demonstration project.
    projectFolder_ = projectRoot_ + QStringLiteral("DEMO/");
    imagesFolder_ = projectFolder_ + QStringLiteral("IMAGES/");
    projectFilePath_ = projectFolder_ + QStringLiteral("INDEX.PRJ");
    dataFilePath_ = projectFolder_ + QStringLiteral("data.bin");
    sourceImagePath_[0] = imagesFolder_ + QStringLiteral("DEMO.JPG");
    title_ = QStringLiteral("New");  // until a project is created or opened
    undoStack_.setUndoLimit(UndoLimit);
}

CGlowdeckDoc::~CGlowdeckDoc() { CloseHistory(); }

QString CGlowdeckDoc::DefaultProjectRoot() { return QDir::homePath() + QStringLiteral("/TOVRIX/"); }

QString CGlowdeckDoc::DefaultBuildHint() {
    return QCoreApplication::translate("GlowdeckDoc", "编译后，可以向彩球发送编译数据！");
}

void CGlowdeckDoc::SetProjectRoot(const QString& root) {
    projectRoot_ = root;
    if (!projectRoot_.endsWith(QLatin1Char('/'))) projectRoot_ += QLatin1Char('/');
}

void CGlowdeckDoc::LoadSettings(const QString& programFolder) {
    QString folder = programFolder;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    iniPath_ = folder + QStringLiteral("setting.ini");
    const CIniFile ini(iniPath_);
    // A settings file that cannot be read (a FIFO, a device, far too large)
    // is reported and the defaults are used; it is never written over.
    if (const QString problem = ini.UnreadableMessage(); !problem.isEmpty())
        messages_.Warn(problem);
    SetProjectRoot(
        ini.GetString(QStringLiteral("PATH"), QStringLiteral("PROJECT"), DefaultProjectRoot()));
    buildHint_ =
        ini.GetString(QStringLiteral("README"), QStringLiteral("BUILD"), DefaultBuildHint());
}

void CGlowdeckDoc::SetProjectPaths(const QString& name) { SetProjectFolder(projectRoot_ + name); }

void CGlowdeckDoc::SetProjectFolder(const QString& folder) {
    projectFolder_ = folder;
    if (!projectFolder_.endsWith(QLatin1Char('/'))) projectFolder_ += QLatin1Char('/');
    imagesFolder_ = projectFolder_ + QStringLiteral("Images/");
    projectFilePath_ = projectFolder_ + kProjectFileName;
    dataFilePath_ = projectFolder_ + QStringLiteral("data.bin");
}

bool CGlowdeckDoc::IsProjectName(const QString& name) {
    return CProjectFile::IsPlainFileName(name) && name != QLatin1String(".");
}

EditResult CGlowdeckDoc::CreateProjectNamed(const QString& name, bool* foldersMade) {
    if (foldersMade) *foldersMade = false;
    // A name such as "../x" would put the project outside the root.
    if (!IsProjectName(name))
        return EditResult::Failed(
            QCoreApplication::translate("GlowdeckDoc", "项目名称不能含有路径：%1").arg(name));
    const QString folder = projectRoot_ + name;
    const EditResult exists = EditResult::Failed(
        QCoreApplication::translate("GlowdeckDoc", "项目文件夹已存在或无法建立：%1/").arg(folder));
    QDir().mkpath(projectRoot_);
    if (QFileInfo(folder).exists() || QFileInfo(folder).isSymLink()) return exists;
    // The project is built in a hidden folder beside its place and renamed
    // there only when it is complete: a step that fails (a full disk, a
    // folder that cannot be made) leaves nothing under the project's name,
    // so the same name can be tried again.
    CStagedFolder staged(folder);
    if (int error = 0; !staged.Create(&error)) return exists;
    const QString building = staged.TemporaryPath();
    const QString images = building + QStringLiteral("/Images/");
    if (!QDir().mkdir(images))
        return EditResult::Failed(
            QCoreApplication::translate("GlowdeckDoc", "无法建立图像文件夹：%1")
                .arg(folder + QStringLiteral("/Images/")));
    // From here on a failure is worth a message: the name itself was fine.
    bool made = true;
    CProjectLock lock;
    QString refusal;
    auto failed = [&](const EditResult& result) {
        if (foldersMade) *foldersMade = made;
        return result;
    };
    if (!lockProgram_.isEmpty() && !lock.Acquire(building, lockProgram_, lockWaitMs_, &refusal))
        return failed(EditResult::Failed(refusal));
    // The new project with its first group is written before it replaces the
    // open one: when it cannot be saved, the open project, its paths and its
    // lock stay as they were.
    const QString groupName = DefaultGroupName();
    QByteArray saved;
    {
        CProjectFile file(building + QLatin1Char('/') + kProjectFileName, name);
        file.AppendGroup(groupName);
        QString error;
        if (!file.Save(&error))
            return failed(EditResult::Failed(
                QCoreApplication::translate("GlowdeckDoc", "项目文件保存失败：\n%1\n%2")
                    .arg(folder + QLatin1Char('/') + kProjectFileName, error)));
        saved = file.Serialize();
    }
    // The tree just saved, under its final path: nothing is read back, so
    // nothing can fail once the project stands in its place.
    auto file =
        std::make_unique<CProjectFile>(folder + QLatin1Char('/') + kProjectFileName, saved, name);
    if (!file->Loaded())
        return failed(EditResult::Failed(
            QCoreApplication::translate("GlowdeckDoc", "项目文件无法读取：\n%1\n%2")
                .arg(file->FilePath(), file->LoadError())));
    if (int error = 0; !staged.Commit(&error)) {
        made = error != EEXIST && error != ENOTEMPTY;
        return failed(made ? EditResult::Failed(SystemErrorText(folder, error)) : exists);
    }
    lock.FolderMoved(folder);
    CloseHistory();
    lock_ = std::move(lock);
    SetProjectPaths(name);
    projectFile_ = std::move(file);
    projectUnreadable_ = false;
    animationCount_.fill(0);
    title_ = name;
    Revised();
    emit projectOpened();
    emit folderChanged(projectFolder_);
    emit titleChanged(title_);
    return EditResult::Done();
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
    // The steps of the project open now end with it.
    CloseHistory();
    if (!LockFolder(folder)) return false;
    // A history folder left by a program that was killed: its steps are gone.
    if (!lockProgram_.isEmpty()) (void)edit_history::Remove(folder);
    SetProjectFolder(folder);
    projectFilePath_ = ProjectFileIn(projectFolder_);
    // Temporary files of saves that were killed; we hold the project, so
    // no other program is writing them.
    if (!lockProgram_.isEmpty()) {
        RemoveStaleTemporaries(projectFilePath_);
        // Images/ may hold thousands of files: it is looked through only
        // when the program before us did not release the project in order.
        if (lock_.MayHaveLeftovers()) {
            RemoveStaleTemporariesIn(imagesFolder_);
            lock_.LeftoversRemoved();
        }
    }
    projectFile_.reset();
    projectFile_ = std::make_unique<CProjectFile>(projectFilePath_);
    projectUnreadable_ = !projectFile_->Loaded() && QFileInfo::exists(projectFilePath_);
    if (projectUnreadable_)
        messages_.Warn(
            QCoreApplication::translate(
                "GlowdeckDoc",
                "项目文件无法读取，现以空项目打开（原文件在首次保存前另存为 .bak）：\n%1\n%2")
                .arg(projectFilePath_, projectFile_->LoadError()));
    // The counts are the opened project's own, not added to the last one's.
    RecountAnimations();
    title_ = name;
    emit projectOpened();
    emit folderChanged(projectFolder_);
    emit titleChanged(title_);
    return true;
}

EditResult CGlowdeckDoc::Saved() {
    QString error;
    if (projectFile_->Save(&error)) return EditResult::Done();
    return EditResult::Failed(
        QCoreApplication::translate("GlowdeckDoc", "项目文件保存失败：\n%1\n%2")
            .arg(projectFile_->FilePath(), error));
}

std::unique_ptr<CGlowdeckDoc> CGlowdeckDoc::CompileSnapshot(IMessageSink& messages) const {
    auto copy = std::make_unique<CGlowdeckDoc>(messages);
    copy->lockProgram_.clear();
    copy->projectRoot_ = projectRoot_;
    copy->projectFolder_ = projectFolder_;
    copy->imagesFolder_ = imagesFolder_;
    copy->projectFilePath_ = projectFilePath_;
    copy->dataFilePath_ = dataFilePath_;
    copy->title_ = title_;
    copy->revision_ = revision_;
    copy->compiledRevision_ = compiledRevision_;
    if (projectFile_)
        copy->projectFile_ = std::make_unique<CProjectFile>(
            projectFilePath_, projectFile_->Serialize(), projectFile_->ProjectName());
    return copy;
}

EditResult CGlowdeckDoc::SaveProject() {
    if (!projectFile_)
        return EditResult::Failed(QCoreApplication::translate("GlowdeckDoc", "没有打开的项目"));
    return Saved();
}

}  // namespace glowdeck
