// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppLooks.h"

#include <QApplication>
#include <QPalette>
#include <QSettings>
#include <QStyleFactory>

namespace glowdeck {

namespace {

// The colours of one look. Text on every background it is drawn on stays
// readable (contrast of 4.5:1 or more, with room for anti-aliased strokes);
// the project tree and the item list sit on a pane colour of their own.
struct LookColours {
    QColor window, base, text, highlight, highlightedText, button, pane;
};

QColor Mix(const QColor& a, const QColor& b, double towardsB) {
    auto mix = [&](int x, int y) { return static_cast<int>(x + (y - x) * towardsB + 0.5); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

QPalette Palette(const LookColours& c, const QColor& base) {
    QPalette p;
    p.setColor(QPalette::Window, c.window);
    p.setColor(QPalette::WindowText, c.text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base.darker(104));
    p.setColor(QPalette::Text, c.text);
    p.setColor(QPalette::Button, c.button);
    p.setColor(QPalette::ButtonText, c.text);
    p.setColor(QPalette::Highlight, c.highlight);
    p.setColor(QPalette::HighlightedText, c.highlightedText);
    p.setColor(QPalette::ToolTipBase, c.base);
    p.setColor(QPalette::ToolTipText, c.text);
    p.setColor(QPalette::PlaceholderText, Mix(c.text, base, 0.45));
    // Disabled commands and controls: the text halfway to the background,
    // so they read as unavailable in light and dark looks alike.
    const QColor disabled = Mix(c.text, c.window, 0.55);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, disabled);
    // Disabled text is etched with the light colour: on a dark look a white
    // etch would outshine the text itself.
    if (c.window.lightness() < 128)
        p.setColor(QPalette::Disabled, QPalette::Light, c.window.lighter(125));
    return p;
}

}  // namespace

const QList<AppLook>& AppLooks() {
    static const QList<AppLook> looks = {
        {32833, QStringLiteral("Office &2000")}, {32834, QStringLiteral("Office &XP")},
        {32835, QStringLiteral("Office 200&3")}, {32837, QStringLiteral("Visual Studio.NET 200&5")},
        {32836, QStringLiteral("&Windows XP")},  {32838, QStringLiteral("Office 200&7")},
    };
    return looks;
}

void ApplyLook(int id) {
    QString style = QStringLiteral("Fusion");
    LookColours c;
    const QColor paneGrey(220, 220, 220);
    switch (id) {
        case 32833:  // plain grey
            c = {QColor(212, 208, 200), Qt::white, Qt::black, QColor(10, 36, 106), Qt::white,
                 QColor(212, 208, 200), paneGrey};
            break;
        case 32834:  // light, blue-grey highlight
            c = {QColor(236, 233, 216), Qt::white, Qt::black, QColor(36, 82, 160), Qt::white,
                 QColor(245, 244, 234), paneGrey};
            break;
        case 32835:  // blue, orange selection with dark text
            c = {QColor(196, 218, 250),
                 QColor(250, 252, 255),
                 QColor(10, 20, 50),
                 QColor(255, 190, 80),
                 QColor(10, 20, 50),
                 QColor(221, 236, 254),
                 paneGrey};
            break;
        case 32837:  // dark, panes too
            c = {QColor(45, 45, 48), QColor(30, 30, 30), QColor(230, 230, 230), QColor(0, 90, 158),
                 Qt::white,          QColor(62, 62, 66), QColor(37, 37, 38)};
            break;
        case 32836:  // the platform's own style
            style = QStringLiteral("Windows");
            c = {QColor(236, 233, 216), Qt::white, Qt::black, QColor(36, 82, 160), Qt::white,
                 QColor(236, 233, 216), paneGrey};
            break;
        default:  // 32838: soft blue, pale orange selection with dark text
            c = {QColor(214, 228, 243), Qt::white,           QColor(21, 66, 139),
                 QColor(255, 213, 111), QColor(21, 50, 100), QColor(228, 238, 250),
                 QColor(236, 242, 250)};
            break;
    }
    if (QStyle* s = QStyleFactory::create(style)) QApplication::setStyle(s);
    QApplication::setPalette(Palette(c, c.base));
    const QPalette pane = Palette(c, c.pane);
    QApplication::setPalette(pane, "glowdeck::CProjectTree");
    QApplication::setPalette(pane, "glowdeck::CItemListPane");
}

int StoredLook() {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    const int id =
        settings.value(QStringLiteral("Settings1.1/ApplicationLook"), DefaultLook).toInt();
    return id >= 32833 && id <= 32838 ? id : DefaultLook;
}

void StoreLook(int id) {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    settings.setValue(QStringLiteral("Settings1.1/ApplicationLook"), id);
}

}  // namespace glowdeck
