// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

// Capacities of a project and the data-size account.
namespace glowdeck {

constexpr int MaxGroups = 10;
constexpr int MaxItemsPerGroup = 300;
constexpr int MaxAnimationsPerGroup = 20;
constexpr std::uint32_t MaxTotalDataBytes = 500000;
constexpr int AccountBytesPerColumn = 21;
constexpr int MaxListValues = 50;

// What a project file may hold to be opened at all: far beyond what the
// program makes (MaxGroups × MaxItemsPerGroup), so a hand-edited file that
// compile still accepts opens, while a file of millions of items is refused
// as damaged instead of holding the project for minutes.
constexpr int MaxItemsInFile = 30000;
constexpr int MaxGroupsInFile = 30000;
constexpr long long MaxProjectFileBytes = 64LL << 20;

}  // namespace glowdeck
