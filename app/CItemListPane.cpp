// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CItemListPane.h"

#include <QPixmap>
#include <QStyle>
#include <algorithm>

#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "model/GlowdeckDoc.h"
#include "model/TreeRules.h"

namespace glowdeck {

CItemListPane::CItemListPane(CGlowdeckDoc& doc, QWidget* parent) : QListWidget(parent), doc_(doc) {
    setObjectName(QStringLiteral("itemList"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(ThumbnailCache::Width, ThumbnailCache::Height));
    setGridSize(QSize(106, 110));
    // Tall enough for a whole entry, caption included, above the scroll bar.
    setMinimumHeight(gridSize().height() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                     2 * frameWidth() + 4);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont font;
    font.setFamilies({QStringLiteral("宋体"),  // untranslated
                      QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(15);
    setFont(font);
    connect(&cache_, &ThumbnailCache::Ready, this, &CItemListPane::Fill);
    click_.setSingleShot(true);
    click_.setInterval(20);
    connect(this, &QListWidget::itemPressed, this, [this] { click_.start(); });
    connect(&click_, &QTimer::timeout, this, [this] {
        if (currentRow() >= 0) emit ItemChosen(currentRow() + 1);
    });
}

void CItemListPane::Clear() {
    cache_.Forget();
    waiting_.clear();
    pending_ = 0;
    clear();
    shownGroup_ = 0;
}

QIcon CItemListPane::ThumbnailIcon(const QPixmap& picture) {
    QIcon icon;
    icon.addPixmap(picture, QIcon::Normal);
    icon.addPixmap(picture, QIcon::Selected);
    return icon;
}

void CItemListPane::ShowGroup(int group, int entry) {
    if (entry == 0 && group == shownGroup_) entry = currentRow() + 1;
    Clear();
    const CProjectFile* file = doc_.ProjectFile();
    if (!file || group < 1 || group > file->GroupCount()) return;
    try {
        doc_.RebuildPathTables();
    } catch (const AccessError& e) {
        // No thumbnails are read for a project whose ids name other folders.
        doc_.Messages().Warn(DamagedProjectText(e));
        return;
    }
    QPixmap blank(ThumbnailCache::Width, ThumbnailCache::Height);
    blank.fill(Qt::black);
    int shown = 0;
    QStringList order;  // the files to make thumbnails of, first shown first
    setUpdatesEnabled(false);
    for (int i = 0; i < file->ItemCount(group - 1); ++i) {
        const QString element = file->ItemKindOf(group - 1, i);
        if (!KindFromElementName(element)) continue;
        const QString path = doc_.SourceImagePath(group - 1, i);
        QPixmap cached;
        const bool found = cache_.Find(path, &cached);
        auto* row = new QListWidgetItem(ThumbnailIcon(found ? cached : blank),
                                        ListCaption(element, group, ++shown), this);
        row->setSizeHint(QSize(106, 110));
        if (found) continue;
        if (!waiting_.contains(path)) order << path;
        waiting_[path].append(shown - 1);
        ++pending_;
    }
    setUpdatesEnabled(true);
    shownGroup_ = group;
    // Asked for in list order, so the first entries come first.
    for (const QString& path : order) cache_.Request(path);
    if (count() > 0) {
        setFocus();
        setCurrentRow(std::clamp(entry, 1, count()) - 1);
        scrollToItem(currentItem());
    }
}

void CItemListPane::Fill(const QString& path, const QPixmap& pixmap) {
    const auto rows = waiting_.take(path);
    for (const int row : rows)
        if (QListWidgetItem* entry = item(row)) entry->setIcon(ThumbnailIcon(pixmap));
    pending_ -= static_cast<int>(rows.size());
}

void CItemListPane::FinishThumbnails() { cache_.Finish(); }

}  // namespace glowdeck
