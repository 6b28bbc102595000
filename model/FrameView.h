#pragma once
#include <QString>

namespace glowdeck {

// What the document needs of the main window.
class IFrameView {
public:
    virtual ~IFrameView() = default;
    virtual void ShowView(int viewKind) = 0;
    virtual void SetStatusPane(int pane, const QString& text, int width) = 0;
    virtual void SetTitle(const QString& title) = 0;
};

}  // namespace glowdeck
