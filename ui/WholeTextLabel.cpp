// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WholeTextLabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

bool inked(const QImage &image, int row)
{
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(row));
    return std::any_of(pixels, pixels + image.width(), [](QRgb pixel) { return pixel != 0xffffffff; });
}

} // namespace

/// The first and last rows of the label, in device pixels, that the text inks with its line at the
/// top of the contents. Drawn at the screen's scale rather than read from the glyph metrics, which
/// miss a row that hinting or antialiasing adds, and more of them at scales above 1.
std::pair<int, int> WholeTextLabel::inkRows(qreal scale) const
{
    // Drawn as across the label, and two or three pixels down, as many as put the baseline on the
    // same fraction of a device pixel as in the label at a scale of 1.5: the glyphs then fall on the
    // same fractions of a pixel, and those drawn here are the ones the label draws again.
    const QRect box = contentsRect();
    const QRect line(box.left(), 2 + (box.top() & 1), box.width(), qCeil(QFontMetricsF(font()).height()));
    // Black on white, as any antialiasing (grey or, on Windows, ClearType's) shows there.
    QImage probe(QSizeF(width() * scale, (line.bottom() + 3) * scale).toSize(), QImage::Format_RGB32);
    probe.setDevicePixelRatio(scale);
    probe.fill(Qt::white);
    QPainter painter(&probe);
    painter.setFont(font());
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, text());
    painter.end();
    int first = 0, last = probe.height() - 1;
    while (first < last && !inked(probe, first))
        ++first;
    while (last > first && !inked(probe, last))
        --last;
    const int offset = qRound((box.top() - line.top()) * scale);
    return {first + offset, last + offset};
}

int WholeTextLabel::shift(int first, int last, int rows)
{
    if (last - first + 3 > rows)
        return (rows - (last - first + 1)) / 2 - first;
    if (last > rows - 2)
        return rows - 2 - last;
    return 0;
}

void WholeTextLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect box = contentsRect();
    const qreal scale = painter.deviceTransform().m22();
    const auto [first, last] = inkRows(scale);
    const int moved = shift(first, last, qFloor(height() * scale));

    // Nothing is drawn above the box: the layout's own face reaches a fraction of a pixel above its
    // line, and that sliver has never been shown.
    painter.setClipRect(box);
    painter.translate(0, moved / scale);
    style()->drawItemText(&painter, box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, palette(), isEnabled(),
                          text(), foregroundRole());
}
