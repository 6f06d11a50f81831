// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace charsets {

/// Member i of set k is the caption a character button shows.
using CharSetTable = std::vector<std::vector<QString>>;
/// Entry k is how many members of set k boards draw from.
using SetSizeTable = std::vector<std::int16_t>;

constexpr std::int16_t BuiltInSetCount = 10;

/// The ten built-in sets of look-alike characters, in the order "次" steps through them.
CharSetTable buildCharSets();
SetSizeTable buildSetSizes();

} // namespace charsets
