// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <utility>
#include <vector>

#include "model/ItemKind.h"

namespace glowdeck {

// The property elements of an item kind, in file order, with the values a
// freshly added item holds.
using PropertyList = std::vector<std::pair<const char*, QString>>;
const PropertyList& NewItemProperties(ItemKind kind);

// The name a new group gets from the add commands and a new project.
QString DefaultGroupName();

// An interval is 1 to 300 LED columns long.
constexpr int MinIntervalLength = 1;
constexpr int MaxIntervalLength = 300;

// How far the text renderer's manual offsets reach, in tenths of a pixel
// either way: vertical, Chinese characters, Latin characters, Chinese
// punctuation. The text view's sliders step by a tenth.
constexpr int TextOffsetTenths[4] = {500, 500, 1000, 2000};
constexpr double TextOffsetLimit(int k) { return TextOffsetTenths[k] / 10.0; }

}  // namespace glowdeck
