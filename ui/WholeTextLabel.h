// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <utility>

/// A one-line label that keeps its text whole in whatever face fills in. The layout was drawn for
/// faces whose line is one em tall, as tall as the label; many Japanese faces (Noto CJK, Meiryo,
/// Yu Gothic) have lines nearly half as tall again, and a line placed from the top leaves the lower
/// part of their text below the label. So the text is placed as the layout's own face has it, its
/// line starting at the top of the contents, and then moved by whole pixels until its ink, as
/// drawn, keeps a pixel clear of the label's bottom edge.
class WholeTextLabel final : public QLabel {
public:
    using QLabel::QLabel;

    /// How many device pixels to move a line whose ink, placed from the top of the contents, covers
    /// rows first to last of a label rows pixels tall: up as far as keeps a pixel to spare under the
    /// ink where it fits, else so far that the ink is centred.
    static int shift(int first, int last, int rows);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::pair<int, int> inkRows(qreal scale) const;
};
