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

}  // namespace glowdeck
