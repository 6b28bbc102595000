#pragma once
#include <QWidget>
#include <functional>

class QGridLayout;
class QLineEdit;
class QListWidget;
class QLabel;
class QPushButton;
class QSpinBox;

namespace glowdeck {

class CGlowdeckDoc;
class CPictureFrame;

// What the item editors share: the edited item (0-based project-file
// position), the id box, the sorted information list, and the item list
// pane's refresh.
class CItemView : public QWidget
{
    Q_OBJECT
public:
    using ShowGroup = std::function<void(int group)>;  // 1-based
    CItemView(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup, QWidget* parent);

protected:
    // The two short beeps of a document error.
    static void ErrorBeeps();
    void SetInfo(const QStringList& lines);
    void RefreshList() const;
    // A labelled picture frame (the label on the left, vertical text).
    QWidget* Framed(CPictureFrame* frame, const QString& label);
    // The top row: "图像文件ID：", the id box and an optional button.
    void AddIdRow(QGridLayout* layout, QPushButton* button = nullptr);
    // A read-only number box beside a slider.
    static QSpinBox* ValueBox(QWidget* parent, int low, int high);

    CGlowdeckDoc& doc_;
    int g_, i_;
    ShowGroup showGroup_;
    QLineEdit* id_;
    QListWidget* info_;
};

}  // namespace glowdeck
