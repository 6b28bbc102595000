// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHash>
#include <QListWidget>
#include <QTimer>

#include "app/ThumbnailCache.h"

namespace glowdeck {

class CGlowdeckDoc;

// "图像列表": the items of the current group as one row of captioned
// 100 × 75 thumbnails. Thumbnails are made on worker threads and filled in
// as they come, so a group of 300 large photographs never freezes the window.
class CItemListPane : public QListWidget {
    Q_OBJECT
public:
    explicit CItemListPane(CGlowdeckDoc& doc, QWidget* parent = nullptr);

    void Clear();
    // Shows group `group` (1-based) with entry `entry` (1-based) selected, as
    // the tree has it; 0 keeps the entry selected before when the group is
    // the one shown (a refresh after an edit), else selects the first.
    void ShowGroup(int group, int entry = 0);
    // A thumbnail's icon: the picture as it is, selected or not (a selected
    // entry is marked by its frame, not by tinting the picture).
    static QIcon ThumbnailIcon(const QPixmap& picture);
    // Thumbnails still to be drawn.
    int Pending() const { return pending_; }
    void FinishThumbnails();  // draws the rest at once (tests, screenshots)
    ThumbnailCache& Cache() { return cache_; }

signals:
    // Entry `index` (1-based) was clicked.
    void ItemChosen(int index);

private:
    void Fill(const QString& path, const QPixmap& pixmap);

    CGlowdeckDoc& doc_;
    ThumbnailCache cache_;
    QTimer click_;
    QHash<QString, QList<int>> waiting_;  // source file and the entries that show it
    int pending_ = 0;
    int shownGroup_ = 0;
};

}  // namespace glowdeck
