// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QFontDialog;

namespace glowdeck {

class CColorComboBox;

// The text editor's font dialog: face, size and effects from the platform's
// font chooser, and a row for the text colour among the eight list colours.
class CFontColourDlg : public QDialog {
    Q_OBJECT
public:
    CFontColourDlg(const QFont& initial, unsigned colour, QWidget* parent = nullptr);

    QFont SelectedFont() const;
    // The preset font as the chooser shows it: a face without a bold or an
    // italic style of its own shows neither, though the text is drawn so.
    const QFont& PresetAsShown() const { return presetShown_; }
    unsigned Colour() const;  // 0x00BBGGRR
    QFontDialog* FontChooser() const { return fonts_; }
    CColorComboBox* Colours() const { return colours_; }

private:
    QFontDialog* fonts_;
    CColorComboBox* colours_;
    QFont presetShown_;
};

}  // namespace glowdeck
