// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QWidget;

namespace glowdeck {

// The choose dialogs' filters: every type a picture or an animation item
// accepts (pictures are read by their content, whatever their name); an
// animation may also come from a video clip.
QString PictureFilter();
QString AnimationFilter();

// Asks for an item's source file of `filter`, starting in the folder the
// last one was chosen from (kept in the program's settings) with no name
// filled in; empty when cancelled.
QString ChooseSourceFile(QWidget* parent, const QString& filter);

}  // namespace glowdeck
