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

}  // namespace glowdeck
