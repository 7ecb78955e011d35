#pragma once
// Pictures of the data cells GridCellPainter draws: a cell's text on the window
// colour, rendered once and then copied onto the grid on every repaint, where
// drawing the text would blend the edges of its glyphs anew each time. A
// picture holds exactly the pixels drawing gives: it is rendered in the painted
// device's pixel format with the painter's font, pen and hints, and only for a
// text drawn as a glyph run whose ink stays inside the cell; any other text is
// drawn as before. Pictures are found by their text and the cell's size, never
// by the cell, so a changed value can never show an old picture.
#include <QByteArray>
#include <QCache>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include "gui/QtCompat.h"

namespace telvar5 {

class CellTextGlyphs;

class GridCellPictures {
public:
    // Readies the pictures for one repaint by `painter`, which has the cells' font
    // and draws their texts in `text` on `background`. False where pictures cannot
    // stand in for drawing: a device that is not an image or a pixmap of whole
    // bytes per pixel, a painter that scales or blends, a translucent background.
    bool begin(const QPainter& painter, const QColor& text, const QColor& background, int ascent);
    // The picture of a cell this size showing `text`; null for a text to be drawn directly.
    const QImage* picture(const QString& text, QSize size, CellTextGlyphs& glyphs);

private:
    static constexpr qsizetype kBudgetBytes = 8 << 20; // some three screens of the input grid

    struct Look {
        QImage::Format format = QImage::Format_Invalid;
        QFont font;
        QColor text;
        QColor background;
        QPainter::RenderHints hints;
        int ascent = 0;
        bool operator==(const Look&) const = default;
    };
    struct Key {
        QString text;
        int width = 0;
        int height = 0;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& key, size_t seed = 0)
        {
            return qtcompat::hashMulti(seed, key.text, key.width, key.height);
        }
    };

    // A scratch image with a margin round the largest cell so far, cleared to the background.
    void readyScratch(QSize cell);
    QImage render(const QString& text, QSize size, CellTextGlyphs& glyphs);
    // Whether the scratch still shows the bare background all round the cell.
    bool marginClear(const QRect& cell, const QRect& room) const;

    Look look_;
    int margin_ = 0;
    QCache<Key, QImage> pictures_{kBudgetBytes}; // a null image: the text is drawn directly
    QImage scratch_;
    QByteArray blankLine_; // one scanline of the scratch image, background only
    QPainter scratchPainter_;
};

} // namespace telvar5
