#include "gui/GridCellPictures.h"

#include <QPixelFormat>
#include <cstring>

#include "gui/CellTextGlyphs.h"
#include "gui/GridCellPaint.h"
#include "gui/PaintedFormat.h"

namespace telvar5 {

namespace {

// Formats whose pixels the margin check can compare byte for byte.
bool wholeBytesRgb(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return false;
    const QPixelFormat pixels = QImage::toPixelFormat(format);
    return pixels.colorModel() == QPixelFormat::RGB && pixels.bitsPerPixel() >= 16 && pixels.bitsPerPixel() % 8 == 0;
}

} // namespace

bool GridCellPictures::begin(const QPainter& painter, const QColor& text, const QColor& background, int ascent)
{
    const QImage::Format format = paintedFormat(painter);
    if (background.alpha() != 255 || !wholeBytesRgb(format))
        return false;
    const Look look{format, painter.font(), text, background, painter.renderHints(), ascent};
    if (look == look_)
        return true;
    look_ = look;
    pictures_.clear();
    if (scratchPainter_.isActive())
        scratchPainter_.end();
    scratch_ = QImage();
    // Room for any ink round a cell whose text's advance ends within it.
    margin_ = painter.fontMetrics().height();
    return true;
}

const QImage* GridCellPictures::picture(const QString& text, QSize size, CellTextGlyphs& glyphs)
{
    if (const QImage* found = pictures_.object(Key{text, size.width(), size.height()}))
        return found->isNull() ? nullptr : found;
    auto* made = new QImage(render(text, size, glyphs));
    const QImage* shown = made->isNull() ? nullptr : made;
    const qsizetype cost = made->sizeInBytes() + text.size() * qsizetype{sizeof(QChar)} + 64;
    // The kept key has a text of its own: the painter's one string is rewritten for the next cell.
    return pictures_.insert(Key{QString(text.constData(), text.size()), size.width(), size.height()}, made, cost)
        ? shown
        : nullptr;
}

void GridCellPictures::readyScratch(QSize cell)
{
    const QSize room = cell + QSize(2 * margin_, 2 * margin_);
    if (scratchPainter_.isActive() && scratch_.width() >= room.width() && scratch_.height() >= room.height())
        return;
    if (scratchPainter_.isActive())
        scratchPainter_.end();
    scratch_ = QImage(room.expandedTo(scratch_.size()), look_.format);
    scratchPainter_.begin(&scratch_);
    scratchPainter_.setRenderHints(scratchPainter_.renderHints(), false);
    scratchPainter_.setRenderHints(look_.hints);
    scratchPainter_.setFont(look_.font);
    scratchPainter_.setPen(look_.text);
    scratchPainter_.fillRect(scratch_.rect(), look_.background);
    blankLine_ = QByteArray(reinterpret_cast<const char*>(scratch_.constScanLine(0)), scratch_.bytesPerLine());
}

QImage GridCellPictures::render(const QString& text, QSize size, CellTextGlyphs& glyphs)
{
    // A text drawText shapes, or one whose advance runs on past the margin's reach, is drawn directly.
    const std::optional<qreal> advance = glyphs.width(text);
    if (size.isEmpty() || !advance || 1 + *advance > size.width() + margin_ / 2)
        return {};
    readyScratch(size);
    const QRect room(0, 0, size.width() + 2 * margin_, size.height() + 2 * margin_);
    const QRect cell(QPoint(margin_, margin_), size);
    // As GridCellPainter draws a cell on the grid.
    scratchPainter_.fillRect(room, look_.background);
    const QPoint origin = gridCellTextOrigin(cell, look_.ascent);
    glyphs.draw(scratchPainter_, origin.x(), origin.y(), text);
    if (!marginClear(cell, room))
        return {};
    return scratch_.copy(cell);
}

bool GridCellPictures::marginClear(const QRect& cell, const QRect& room) const
{
    // The blank line is one pixel value over and over, so any stretch of it matches any stretch of background.
    const qsizetype pixel = scratch_.depth() / 8;
    const char* blank = blankLine_.constData();
    const qsizetype left = cell.left() * pixel;
    const qsizetype rightStart = (cell.right() + 1) * pixel;
    const qsizetype right = (room.right() - cell.right()) * pixel;
    for (int y = room.top(); y <= room.bottom(); ++y) {
        const char* line = reinterpret_cast<const char*>(scratch_.constScanLine(y));
        const bool clear = y < cell.top() || y > cell.bottom()
            ? std::memcmp(line, blank, room.width() * pixel) == 0
            : std::memcmp(line, blank, left) == 0 && std::memcmp(line + rightStart, blank, right) == 0;
        if (!clear)
            return false;
    }
    return true;
}

} // namespace telvar5
