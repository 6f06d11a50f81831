// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include <utility>

/// A one-line label that sets its text by the face's em box rather than by its line box. Many
/// Japanese faces (Noto CJK, Meiryo, Yu Gothic) have lines nearly one and a half em tall, far
/// taller than a label drawn for a face whose line is one em: placed by that line, the lower part
/// of the text falls below the label. Here the em box starts one pixel below the label's top,
/// where the layout's own face puts it, and text whose ink still comes within a pixel of the
/// label's top or bottom is moved in by whole device pixels.
class EmBoxLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::pair<int, int> inkRows(int lineTop, qreal scale) const;
};
