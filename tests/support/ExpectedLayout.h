// SPDX-License-Identifier: GPL-3.0-or-later
// Where each control of the window must be, in pixels of the window's client area at 96 dots per
// inch. Written out by hand rather than computed as the window computes them, so that a slip in
// either shows; the tests and the benchmark's floor program read them from here.
#pragma once

#include <QRect>

namespace expected {

constexpr QSize ClientSize{767, 583};
constexpr QRect PromptLabel{112, 32, 577, 49};
constexpr QRect Board{64, 120, 633, 417};
constexpr QRect SidePanel{704, 120, 57, 417};
constexpr QRect NextSetButton{712, 152, 41, 41}; // "次"
constexpr QRect QuitButton{712, 464, 41, 41};    // "終"

// The grid of character buttons, row by row from the top left; the right two columns stand wider apart.
constexpr int ColumnLeft[] = {104, 216, 328, 448, 568};
constexpr int ButtonTop[] = {152, 248, 344, 440};
constexpr int MarkerTop[] = {220, 316, 412, 508};

/// Character button i, and the marker bar under it.
constexpr QRect button(int i) { return {ColumnLeft[i % 5], ButtonTop[i / 5], 81, 65}; }
constexpr QRect marker(int i) { return {ColumnLeft[i % 5], MarkerTop[i / 5], 81, 9}; }

} // namespace expected
