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
    font.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(15);
    setFont(font);
    filler_.setInterval(0);
    connect(&filler_, &QTimer::timeout, this, &CItemListPane::FillSome);
    click_.setSingleShot(true);
    click_.setInterval(20);
    connect(this, &QListWidget::itemPressed, this, [this] { click_.start(); });
    connect(&click_, &QTimer::timeout, this, [this] {
        if (currentRow() >= 0) emit ItemChosen(currentRow() + 1);
    });
}

void CItemListPane::Clear() {
    filler_.stop();
    pending_.clear();
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
    setUpdatesEnabled(false);
    for (int i = 0; i < file->ItemCount(group - 1); ++i) {
        const QString element = file->ItemKindOf(group - 1, i);
        if (!KindFromElementName(element)) continue;
        auto* item =
            new QListWidgetItem(ThumbnailIcon(blank), ListCaption(element, group, ++shown), this);
        item->setSizeHint(QSize(106, 110));
        pending_.append({shown - 1, doc_.SourceImagePath(group - 1, i)});
    }
    setUpdatesEnabled(true);
    shownGroup_ = group;
    if (count() > 0) {
        setFocus();
        setCurrentRow(std::clamp(entry, 1, count()) - 1);
        scrollToItem(currentItem());
        filler_.start();
    }
}

void CItemListPane::FillSome() {
    for (int k = 0; k < 8 && !pending_.isEmpty(); ++k) {
        const auto [row, path] = pending_.takeFirst();
        if (QListWidgetItem* entry = item(row)) entry->setIcon(ThumbnailIcon(cache_.Get(path)));
    }
    if (pending_.isEmpty()) filler_.stop();
}

void CItemListPane::FinishThumbnails() {
    while (!pending_.isEmpty()) FillSome();
}

}  // namespace glowdeck
