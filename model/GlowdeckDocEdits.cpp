// SPDX-License-Identifier: GPL-3.0-or-later
// Editing operations of the document: structure changes, placeholders and
// the derived tables. Every operation saves the whole project file.
#include <QColor>
#include <QCoreApplication>
#include <QFile>

#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "led/ImageCodec.h"
#include "model/CapacityChecks.h"
#include "model/EditHistory.h"
#include "model/GlowdeckDoc.h"
#include "model/Placeholder.h"
#include "model/ProjectQueries.h"

namespace glowdeck {

namespace {

CProjectFile& Open(std::unique_ptr<CProjectFile>& file) {
    if (!file) throw AccessError("no project is open");
    return *file;
}

struct PlaceholderLook {
    int width, height;
    QString text;
    QColor colour;
    const char* mime;
};

PlaceholderLook LookOf(ItemKind kind) {
    switch (kind) {
        case ItemKind::Picture:
            return {400, 300, KindInfo(kind).defaultName, QColor(255, 255, 255), "image/jpeg"};
        case ItemKind::Animation:
            return {400, 300, KindInfo(kind).defaultName, QColor(0, 255, 0), "image/gif"};
        case ItemKind::Text:
            return {400, 300, KindInfo(kind).defaultName, QColor(255, 0, 0), "image/jpeg"};
        case ItemKind::Interval:
            break;
    }
    return {1, 56, QString(), QColor(0, 0, 0), "image/jpeg"};
}

}  // namespace

CGlowdeckDoc::Edit::Edit(CGlowdeckDoc& doc, EditKind kind, int g, int i)
    : doc_(doc),
      tree_(doc.projectFile_ ? doc.projectFile_->TakeSnapshot() : nullptr),
      sourceImagePath_(doc.sourceImagePath_),
      totalDataBytes_(doc.totalDataBytes_),
      animationCount_(doc.animationCount_),
      kind_(kind),
      g_(g),
      i_(i) {
    if (doc.HistoryActive()) {
        before_ = doc.projectFile_->Serialize();
        name_ = doc.NameAt(g, i);
    }
}

CGlowdeckDoc::Edit::~Edit() {
    if (!done_) RollBack();
}

void CGlowdeckDoc::Edit::RollBack() {
    done_ = true;
    if (tree_ && doc_.projectFile_) doc_.projectFile_->Restore(*tree_);
    doc_.sourceImagePath_ = std::move(sourceImagePath_);
    doc_.totalDataBytes_ = totalDataBytes_;
    doc_.animationCount_ = animationCount_;
    for (const QString& path : written_) QFile::remove(path);
}

EditResult CGlowdeckDoc::Edit::Commit(bool needsCompile) {
    EditResult saved = doc_.SaveProject();
    if (!saved) {
        RollBack();
        return saved;
    }
    done_ = true;
    if (needsCompile) doc_.Revised();
    if (!before_.isNull() && doc_.HistoryActive()) {
        QByteArray after = doc_.projectFile_->Serialize();
        // An edit that changed nothing (settings stored as they were) is no
        // step: undoing it would seem to do nothing.
        if (after != before_) {
            const QString name = name_ ? *name_ : doc_.NameAt(g_, i_).value_or(QString());
            auto* step = new CEditStep(std::move(before_), std::move(after), needsCompile);
            step->setText(StepText(kind_, name));
            doc_.undoStack_.push(step);
        }
    }
    // Only now, with the new project file in place, may the files that the
    // old one named go.
    if (tree_) doc_.RemoveImagesDroppedSince(doc_.projectFile_->IdsReleasedSince(*tree_));
    return saved;
}

template <class Change>
EditResult CGlowdeckDoc::Run(Change&& change) {
    try {
        return change();
    } catch (const AccessError& e) {
        // Any Edit the change began has rolled back by now.
        return EditResult::Failed(DamagedProjectText(e));
    }
}

template <class Change, class Announce>
EditResult CGlowdeckDoc::Run(Change&& change, Announce&& announce) {
    EditResult result = Run(std::forward<Change>(change));
    if (result) announce();
    return result;
}

EditResult CGlowdeckDoc::NewGroup(const QString& name) {
    // The limits are checked here, whoever asks.
    if (const QString refusal = CheckAddGroup(*this); !refusal.isEmpty())
        return EditResult::Failed(refusal);
    return Run(
        [&] {
            Edit edit(*this, EditKind::Add, projectFile_ ? projectFile_->GroupCount() : 0);
            Open(projectFile_).AppendGroup(name);
            return edit.Commit();
        },
        [&] { emit groupsChanged(); });
}

EditResult CGlowdeckDoc::RenameGroup(int g, const QString& name) {
    return Run(
        [&] {
            Edit edit(*this, EditKind::Rename, g - 1);
            Open(projectFile_).SetGroupName(g - 1, name);
            return edit.Commit(false);
        },
        [&] { emit groupsChanged(); });
}

EditResult CGlowdeckDoc::DeleteGroup(int g) {
    return Run(
        [&] {
            CheckItemIds();
            Edit edit(*this, EditKind::Delete, g - 1);
            Open(projectFile_).RemoveGroup(g - 1);
            return edit.Commit();
        },
        [&] { emit groupsChanged(); });
}

EditResult CGlowdeckDoc::CopyGroup(int g, int g2) {
    return Run(
        [&] {
            CheckItemIds();
            Edit edit(*this, EditKind::Copy, g - 1);
            Open(projectFile_).PlaceGroupAfter(g - 1, g2 - 1, true);
            return edit.Commit();
        },
        [&] { emit groupsChanged(); });
}

EditResult CGlowdeckDoc::MoveGroup(int g, int g2) {
    return Run(
        [&] {
            Edit edit(*this, EditKind::Move, g - 1);
            Open(projectFile_).PlaceGroupAfter(g - 1, g2 - 1, false);
            return edit.Commit();
        },
        [&] { emit groupsChanged(); });
}

EditResult CGlowdeckDoc::NewItem(ItemKind kind, int g, const QString& name) {
    if (const QString refusal = CheckAddItem(*this, g, kind); !refusal.isEmpty())
        return EditResult::Failed(refusal);
    return Run(
        [&] {
            CProjectFile& file = Open(projectFile_);
            const QString id = CProjectFile::GenerateId();
            const QString path = SourceImagePathFor(kind, id);
            const PlaceholderLook look = LookOf(kind);
            // The placeholder is written before the item is saved, and both go
            // when the save fails: a full disk leaves neither an item without its
            // image nor a change that exists only in memory.
            Edit edit(*this, EditKind::Add, g - 1, file.ItemCount(g - 1));
            QString error;
            if (!EncodeImage(
                    MakePlaceholder(look.text, look.width, look.height, look.colour, Qt::black),
                    path, QString::fromLatin1(look.mime), &error))
                return EditResult::Failed(
                    QCoreApplication::translate("GlowdeckDoc", "图像文件保存失败：\n%1\n%2")
                        .arg(path, error));
            edit.Wrote(path);
            file.AppendItem(g - 1, kind, name, id);
            if (kind == ItemKind::Animation && g >= 1 && g <= MaxGroups) ++animationCount_[g - 1];
            return edit.Commit();
        },
        [&] { emit itemAdded(g - 1, projectFile_->ItemCount(g - 1) - 1); });
}

EditResult CGlowdeckDoc::RenameItem(int g, int i, const QString& name) {
    return Run(
        [&] {
            Edit edit(*this, EditKind::Rename, g - 1, i - 1);
            Open(projectFile_).SetAttr(g - 1, i - 1, "name", name);
            return edit.Commit(false);
        },
        [&] { emit itemChanged(g - 1, i - 1); });
}

EditResult CGlowdeckDoc::DeleteItem(int g, int i) {
    return Run(
        [&] {
            CheckItemIds();
            Edit edit(*this, EditKind::Delete, g - 1, i - 1);
            Open(projectFile_).RemoveItem(g - 1, i - 1);
            return edit.Commit(false);
        },
        [&] { emit itemRemoved(g - 1, i - 1); });
}

EditResult CGlowdeckDoc::CopyItem(int g, int i, int g2, int i2) {
    return Run(
        [&] {
            CheckItemIds();
            Edit edit(*this, EditKind::Copy, g - 1, i - 1);
            Open(projectFile_).PlaceItemAfter(g - 1, i - 1, g2 - 1, i2 - 1, true);
            return edit.Commit(false);
        },
        [&] { emit groupsChanged(); });
}

EditResult CGlowdeckDoc::MoveItem(int g, int i, int g2, int i2) {
    return Run(
        [&] {
            Edit edit(*this, EditKind::Move, g - 1, i - 1);
            Open(projectFile_).PlaceItemAfter(g - 1, i - 1, g2 - 1, i2 - 1, false);
            return edit.Commit(false);
        },
        [&] { emit groupsChanged(); });
}

QSet<QString> CGlowdeckDoc::IdsInUse() const {
    QStringList ids = projectFile_ ? projectFile_->AllIds() : QStringList();
    ids += image_use::IdsInBackups(projectFilePath_);
    return image_use::IdSet(ids);
}

void CGlowdeckDoc::RemoveImagesDroppedSince(const QStringList& before) {
    if (!projectFile_ || projectUnreadable_ || !lock_.Held()) return;
    // The ids the edit let go of; the tree may still name some of them (a
    // copy shares its id), which the one question below about the files
    // found settles.
    const QSet<QString> released = image_use::IdSet(before);
    if (released.isEmpty()) return;
    try {
        CheckItemIds();
    } catch (const AccessError&) {
        return;  // a damaged project: its files stay for the user to repair it
    }
    // The edit is done either way: a file that cannot be removed now is
    // left for the clean command. With history on, the files go to the
    // history folder, from where an undo brings them back.
    if (HistoryActive()) {
        QSet<QString> unused;
        const QSet<QString> inUse = IdsInUse();
        for (const QString& id : released)
            if (!inUse.contains(id)) unused.insert(id);
        (void)edit_history::MoveFiles(imagesFolder_, HistoryFolder(), unused);
        return;
    }
    // Only the files of released ids are looked at, and the tree is walked
    // once, for their names and stems together: on a project of thousands
    // of items the walk costs as much as the rest of the cleaning.
    const image_use::InUseOf inUseOf = [this](const QStringList& names) {
        QSet<QString> used = image_use::IdSet(names);
        used.subtract(image_use::IdSet(projectFile_->Unnamed(names)));
        return used.unite(image_use::IdSet(image_use::IdsInBackups(projectFilePath_)));
    };
    (void)image_use::RemoveUnused(imagesFolder_, inUseOf, &released);
}

std::optional<QString> CGlowdeckDoc::NameAt(int g, int i) const {
    if (!projectFile_ || g < 0 || g >= projectFile_->GroupCount()) return std::nullopt;
    if (i < 0) return projectFile_->GroupName(g);
    if (i >= projectFile_->ItemCount(g)) return std::nullopt;
    return projectFile_->GetAttr(g, i, "name");
}

bool CGlowdeckDoc::HistoryActive() const {
    return historyEnabled_ && projectFile_ && lock_.Held() && !projectUnreadable_;
}

QString CGlowdeckDoc::HistoryFolder() const { return edit_history::FolderOf(projectFolder_); }

void CGlowdeckDoc::CloseHistory() {
    const bool had = undoStack_.count() > 0;
    undoStack_.clear();
    if ((had || historyEnabled_) && lock_.Held()) (void)edit_history::Remove(projectFolder_);
}

EditResult CGlowdeckDoc::Undo() {
    if (!undoStack_.canUndo() || !projectFile_)
        return EditResult::Failed(QCoreApplication::translate("GlowdeckDoc", "没有可撤销的操作"));
    const auto* step = static_cast<const CEditStep*>(undoStack_.command(undoStack_.index() - 1));
    const EditResult applied = ApplyState(step->Before(), step->NeedsCompile());
    if (!applied)
        return EditResult::Failed(
            QCoreApplication::translate("GlowdeckDoc", "撤销失败，项目保持原样：\n%1")
                .arg(applied.message));
    undoStack_.undo();
    emit groupsChanged();
    return applied;
}

EditResult CGlowdeckDoc::Redo() {
    if (!undoStack_.canRedo() || !projectFile_)
        return EditResult::Failed(QCoreApplication::translate("GlowdeckDoc", "没有可重复的操作"));
    const auto* step = static_cast<const CEditStep*>(undoStack_.command(undoStack_.index()));
    const EditResult applied = ApplyState(step->After(), step->NeedsCompile());
    if (!applied)
        return EditResult::Failed(
            QCoreApplication::translate("GlowdeckDoc", "重复失败，项目保持原样：\n%1")
                .arg(applied.message));
    undoStack_.redo();
    emit groupsChanged();
    return applied;
}

EditResult CGlowdeckDoc::ApplyState(const QByteArray& content, bool needsCompile) {
    CProjectFile& file = Open(projectFile_);
    const CProjectFile wanted(projectFilePath_, content, file.ProjectName());
    if (!wanted.Loaded()) return EditResult::Failed(wanted.LoadError());
    const QSet<QString> before = image_use::IdSet(file.AllIds());
    const QSet<QString> after = image_use::IdSet(wanted.AllIds());
    // The files the project will name come back first: a project file
    // saved then never names a file that is not there.
    const QString history = HistoryFolder();
    const edit_history::Moved back =
        edit_history::MoveFiles(history, imagesFolder_, after - before);
    if (!back.ok) {
        edit_history::MoveBack(imagesFolder_, history, back.names);
        return EditResult::Failed(back.message);
    }
    const std::unique_ptr<CProjectFile::Snapshot> old = file.TakeSnapshot();
    file.Restore(*wanted.TakeSnapshot());
    if (EditResult saved = Saved(); !saved) {
        file.Restore(*old);
        edit_history::MoveBack(imagesFolder_, history, back.names);
        return saved;
    }
    try {
        RebuildPathTables();
        RecountAnimations();
        RecomputeTotalDataBytes();
    } catch (const AccessError&) {
        // A damaged item keeps its place; its paths are left empty.
    }
    if (needsCompile) Revised();
    // Only now may the files that the project no longer names go.
    QSet<QString> dropped = before - after;
    for (const QString& id : IdsInUse()) dropped.remove(id);
    (void)edit_history::MoveFiles(imagesFolder_, history, dropped);
    return EditResult::Done();
}

image_use::Removal CGlowdeckDoc::RemoveUnusedImages() {
    image_use::Removal refused;
    refused.ok = false;
    if (!projectFile_) {
        refused.message = QCoreApplication::translate("GlowdeckDoc", "没有打开的项目");
        return refused;
    }
    if (!lock_.Held()) {
        refused.message =
            QCoreApplication::translate("GlowdeckDoc", "项目未锁定，图像文件不清除：%1")
                .arg(projectFolder_);
        return refused;
    }
    if (projectUnreadable_) {
        refused.message =
            QCoreApplication::translate("GlowdeckDoc", "项目文件无法读取，图像文件不清除：%1")
                .arg(projectFilePath_);
        return refused;
    }
    try {
        CheckItemIds();
    } catch (const AccessError& e) {
        refused.message = DamagedProjectText(e);
        return refused;
    }
    // The files of the undo steps go as well: nothing can be undone after
    // a clean.
    undoStack_.clear();
    image_use::Removal removal = image_use::RemoveUnused(imagesFolder_, IdsInUse());
    if (!edit_history::Remove(projectFolder_)) {
        removal.ok = false;
        removal.message +=
            (removal.message.isEmpty() ? QString() : QStringLiteral("\n")) +
            QCoreApplication::translate("GlowdeckDoc", "无法删除：%1").arg(HistoryFolder());
    }
    return removal;
}

void CGlowdeckDoc::RecomputeTotalDataBytes() { totalDataBytes_ = DataBytesOf(Open(projectFile_)); }

void CGlowdeckDoc::RecountAnimations() {
    const CProjectFile& file = Open(projectFile_);
    animationCount_.fill(0);
    for (int g = 0; g < file.GroupCount() && g < MaxGroups; ++g)
        for (int i = 0; i < file.ItemCount(g); ++i)
            if (file.KindOf(g, i) == ItemKind::Animation) ++animationCount_[g];
}

QString CGlowdeckDoc::SourceImagePathFor(ItemKind kind, const QString& id) const {
    // An id such as "../../x" would name a file outside the project.
    if (!CProjectFile::IsPlainFileName(id))
        throw AccessError("the id \"" + id.toStdString() + "\" is not a plain file name");
    return imagesFolder_ + id + KindInfo(kind).extension;
}

void CGlowdeckDoc::CheckItemIds() const {
    if (projectFile_) projectFile_->CheckItemIds();
}

void CGlowdeckDoc::RebuildPathTables() {
    const CProjectFile& file = Open(projectFile_);
    std::fill(sourceImagePath_.begin(), sourceImagePath_.end(), QString());
    try {
        for (int g = 0; g < file.GroupCount() && g < MaxGroups; ++g)
            for (int i = 0; i < file.ItemCount(g) && i < MaxItemsPerGroup; ++i)
                if (const auto kind = file.KindOf(g, i))
                    sourceImagePath_[static_cast<size_t>(g) * MaxItemsPerGroup + i] =
                        SourceImagePathFor(*kind, file.ItemId(g, i));
    } catch (const AccessError&) {
        // A damaged project leaves no paths behind.
        std::fill(sourceImagePath_.begin(), sourceImagePath_.end(), QString());
        throw;
    }
}

void CGlowdeckDoc::RebuildPathTables(int g, int i) {
    const CProjectFile& file = Open(projectFile_);
    if (g < 0 || g >= MaxGroups || i < 0 || i >= MaxItemsPerGroup) return;
    QString& path = sourceImagePath_[static_cast<size_t>(g) * MaxItemsPerGroup + i];
    path.clear();
    if (g < file.GroupCount() && i < file.ItemCount(g))
        if (const auto kind = file.KindOf(g, i))
            path = SourceImagePathFor(*kind, file.ItemId(g, i));
}

const QString& CGlowdeckDoc::SourceImagePath(int g, int i) const {
    static const QString none;
    if (g < 0 || g >= MaxGroups || i < 0 || i >= MaxItemsPerGroup) return none;
    return sourceImagePath_[static_cast<size_t>(g) * MaxItemsPerGroup + i];
}

}  // namespace glowdeck
