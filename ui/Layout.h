// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <algorithm>

namespace ui::layout {

// The layout is drawn in twips; 15 twips make one logical pixel. Qt scales logical pixels to the
// screen, so the window grows as a whole at higher display scales.
constexpr int TwipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

constexpr QSize ClientSize{11505 / TwipsPerPixel, 8745 / TwipsPerPixel};

constexpr QRect PromptLabel = twips(1680, 480, 8655, 735);
constexpr QRect Board = twips(960, 1800, 9495, 6255);
constexpr QRect SidePanel = twips(10560, 1800, 855, 6255);
constexpr QRect NextSetButton = twips(120, 480, 615, 615);
constexpr QRect QuitButton = twips(120, 5160, 615, 615);

constexpr int ButtonWidth = 1215;
constexpr int ButtonHeight = 975;
constexpr int MarkerHeight = 135;
constexpr int MarkerOffset = 1020; // from a button's top to its marker's top

/// Columns step 1680, 1680, 1800, 1800 from the left: the right half of the board is wider apart.
constexpr int columnLeft(int column)
{
    return 600 + 1680 * std::min(column, 2) + 1800 * std::max(column - 2, 0);
}

constexpr int rowTop(int row)
{
    return 480 + 1440 * row;
}

/// Character button i, row by row from the top left, inside the board panel.
constexpr QRect button(int i)
{
    return twips(columnLeft(i % 5), rowTop(i / 5), ButtonWidth, ButtonHeight);
}

/// The marker bar just below character button i.
constexpr QRect marker(int i)
{
    return twips(columnLeft(i % 5), rowTop(i / 5) + MarkerOffset, ButtonWidth, MarkerHeight);
}

} // namespace ui::layout
