#include "app/AppLooks.h"

#include <QApplication>
#include <QPalette>
#include <QSettings>
#include <QStyleFactory>

namespace glowdeck {

namespace {

QPalette Palette(const QColor& window, const QColor& base, const QColor& text, const QColor& highlight,
                 const QColor& button) {
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window.darker(104));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, text.lighter(150));
    p.setColor(QPalette::Disabled, QPalette::Text, text.lighter(180));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, text.lighter(180));
    return p;
}

}  // namespace

const QList<AppLook>& AppLooks() {
    static const QList<AppLook> looks = {
        {32833, QStringLiteral("Office &2000")},  {32834, QStringLiteral("Office &XP")},
        {32835, QStringLiteral("Office 200&3")},  {32837, QStringLiteral("Visual Studio.NET 200&5")},
        {32836, QStringLiteral("&Windows XP")},   {32838, QStringLiteral("Office 200&7")},
    };
    return looks;
}

void ApplyLook(int id) {
    QString style = QStringLiteral("Fusion");
    QPalette palette;
    switch (id) {
        case 32833:  // plain grey
            palette = Palette(QColor(212, 208, 200), Qt::white, Qt::black, QColor(10, 36, 106), QColor(212, 208, 200));
            break;
        case 32834:  // light, blue-grey highlight
            palette = Palette(QColor(236, 233, 216), Qt::white, Qt::black, QColor(49, 106, 197), QColor(245, 244, 234));
            break;
        case 32835:  // blue
            palette = Palette(QColor(196, 218, 250), QColor(250, 252, 255), QColor(10, 20, 50), QColor(255, 190, 80),
                              QColor(221, 236, 254));
            break;
        case 32837:  // dark
            palette = Palette(QColor(45, 45, 48), QColor(30, 30, 30), QColor(230, 230, 230), QColor(0, 122, 204),
                              QColor(62, 62, 66));
            break;
        case 32836:  // the platform's own style
            style = QStringLiteral("Windows");
            palette = Palette(QColor(236, 233, 216), Qt::white, Qt::black, QColor(49, 106, 197), QColor(236, 233, 216));
            break;
        default:  // 32838: soft blue
            palette = Palette(QColor(214, 228, 243), Qt::white, QColor(21, 66, 139), QColor(255, 213, 111),
                              QColor(228, 238, 250));
            break;
    }
    if (QStyle* s = QStyleFactory::create(style)) QApplication::setStyle(s);
    QApplication::setPalette(palette);
}

int StoredLook() {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    const int id = settings.value(QStringLiteral("Settings1.1/ApplicationLook"), DefaultLook).toInt();
    return id >= 32833 && id <= 32838 ? id : DefaultLook;
}

void StoreLook(int id) {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    settings.setValue(QStringLiteral("Settings1.1/ApplicationLook"), id);
}

}  // namespace glowdeck
