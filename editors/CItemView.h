// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>
#include <functional>

#include "model/EditResult.h"
#include "model/ItemKind.h"
#include "model/ItemOperations.h"

class QGridLayout;
class QLineEdit;
class QListWidget;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace glowdeck {

class CGlowdeckDoc;
class CPictureFrame;

// What the item editors share: the edited item (0-based project-file
// position), the id box, the sorted information list, and the item list
// pane's refresh.
class CItemView : public QWidget {
    Q_OBJECT
public:
    using ShowGroup = std::function<void(int group)>;  // 1-based
    CItemView(CGlowdeckDoc& doc, ItemKind kind, int group, int position, ShowGroup showGroup,
              QWidget* parent);
    // Stores at once a change still waiting for its quiet time (a slider
    // just moved), so that it is a step of its own before an undo or redo.
    virtual void StorePending() {}

signals:
    // An edit of the item was stored in the project.
    void Stored();

protected:
    // Reads the item's id into the id box and its source file into
    // sourcePath_ (after every change of id). Throws AccessError.
    void ReadSource();
    // A picture frame titled for its paint window ("ORG", "LED").
    CPictureFrame* NewFrame(const QString& title);
    // The "图像信息" label and the information list under the frames.
    void AddInfoRows(QGridLayout* layout);
    // The two short beeps of a document error.
    static void ErrorBeeps();
    // The outcome of an editing operation: a failure beeps twice and shows
    // why, a success is announced with Stored(). Returns whether it succeeded.
    bool Done(const EditResult& result);
    // The item's stored conversion settings (item_ops::ReadSettings); false,
    // with `settings` untouched, for a damaged item.
    bool ReadStoredSettings(item_ops::ConversionSettings* settings) const;
    void SetInfo(const QStringList& lines);
    void RefreshList() const;
    // A labelled picture frame (the label on the left, vertical text).
    QWidget* Framed(CPictureFrame* frame, const QString& label);
    // The top row: "图像文件ID：", the id box and an optional button.
    void AddIdRow(QGridLayout* layout, QPushButton* button = nullptr);
    // A read-only number box.
    static QSpinBox* ValueBox(QWidget* parent, int low, int high);
    // The number box beside a slider: its range, and bound to it both ways
    // (a number typed and confirmed moves the slider, the slider sets the number).
    static QSpinBox* SliderBox(QWidget* parent, QSlider* slider);

    CGlowdeckDoc& doc_;
    ItemKind kind_;
    int g_, i_;
    QString sourcePath_;
    ShowGroup showGroup_;
    QLineEdit* id_;
    QListWidget* info_;
};

}  // namespace glowdeck
