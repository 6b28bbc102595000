#pragma once
#include <QWidget>

class QLabel;

namespace glowdeck {

class CGlowdeckDoc;

// An item as the ball will show it: its source picture, its LED image
// converted with the item's own thresholds for the current ball, and its
// stored attributes.
class CItemPreviewView : public QWidget
{
    Q_OBJECT
public:
    CItemPreviewView(CGlowdeckDoc& doc, int group, int filePosition, int ballType, int layer,
                     QWidget* parent = nullptr);

private:
    QLabel* source_;
    QLabel* led_;
    QLabel* info_;
};

}  // namespace glowdeck
