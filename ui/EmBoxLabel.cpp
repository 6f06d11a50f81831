// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EmBoxLabel.h"

#include <QPainter>
#include <QRawFont>
#include <QStyle>
#include <QtEndian>

#include <algorithm>

namespace {

/// The height of the face's em box above the baseline: its OS/2 typographic ascender, which
/// Japanese faces set so that ascender and descender span exactly one em. Without one, the line's.
qreal emAscent(const QFont &font, qreal lineAscent)
{
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    if (os2.size() < 72 || head.size() < 20)
        return lineAscent;
    const int unitsPerEm = qFromBigEndian<quint16>(head.constData() + 18);
    const int typoAscender = qFromBigEndian<qint16>(os2.constData() + 68);
    if (unitsPerEm <= 0 || typoAscender <= 0)
        return lineAscent;
    return raw.pixelSize() * typoAscender / unitsPerEm;
}

bool inked(const QImage &image, int row)
{
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(row));
    return std::any_of(pixels, pixels + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; });
}

} // namespace

/// The first and last rows the text inks when its line starts at row lineTop of the label, in
/// device pixels from the label's top. Drawn rather than read from the glyph metrics, which miss
/// a row that hinting or antialiasing adds.
std::pair<int, int> EmBoxLabel::inkRows(int lineTop, qreal scale) const
{
    const QFontMetricsF line(font());
    // Two logical pixels in, of the same parity as lineTop, so the rows fall as they do in the label
    // at a scale of 1.5 too.
    const int probeTop = 2 + (lineTop & 1);
    QImage probe((QSizeF(line.horizontalAdvance(text()) + 4, probeTop + line.height() + 2) * scale).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    probe.setDevicePixelRatio(scale);
    probe.fill(Qt::transparent);
    QPainter painter(&probe);
    painter.setFont(font());
    painter.drawText(QPointF(2, probeTop + line.ascent()), text());
    painter.end();
    int first = 0, last = probe.height() - 1;
    while (first < last && !inked(probe, first))
        ++first;
    while (last > first && !inked(probe, last))
        --last;
    const int offset = qRound((lineTop - probeTop) * scale);
    return {first + offset, last + offset};
}

void EmBoxLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect box = contentsRect();
    const QFontMetricsF line(font());
    const int lineTop = box.top() + qRound(emAscent(font(), line.ascent()) - line.ascent());

    // A device pixel to spare over and under the ink where it fits, else the ink centred.
    const qreal scale = painter.deviceTransform().m22();
    const int rows = qFloor(height() * scale);
    const auto [inkTop, last] = inkRows(lineTop, scale);
    // Ink above the box is not drawn (below): the layout's own face reaches a fraction of a pixel
    // above its em box, and that sliver has never been shown.
    const int first = std::max(inkTop, qCeil(box.top() * scale));
    int shift = 0;
    if (last - first + 3 > rows)
        shift = (rows - (last - first + 1)) / 2 - first;
    else if (last > rows - 2)
        shift = rows - 2 - last;
    // Nothing is drawn above the box, clipped before the shift: the row over the em box stays clear.
    painter.setClipRect(box);
    if (shift != 0)
        painter.translate(0, shift / scale);
    style()->drawItemText(&painter, QRect(box.left(), lineTop, box.width(), qCeil(line.height())),
                          Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, palette(), isEnabled(), text(),
                          foregroundRole());
}
