#pragma once
// The grid of "Поток слов". It repaints its rows after every refresh tick
// while it follows the log, so it paints them itself: each row's background
// (the selection's colour for the chosen row), each text from glyphs looked up
// once per font (CellTextGlyphs), aligned as the model says, and the grid
// lines as filled rectangles. The table view's own painting builds a style
// option, asks the style and shapes the text for every cell: eight times the
// cost, measured on a tick of eight busy inputs.
#include <QTableView>

#include "gui/CellTextGlyphs.h"

namespace telvar5 {

class WordLogView : public QTableView {
    Q_OBJECT
public:
    explicit WordLogView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintRow(QPainter& painter, int row, int left, int right, const QRect& dirty);

    CellTextGlyphs glyphs_;
    QString text_; // one string for every cell's text
    QColor gridLine_;
};

} // namespace telvar5
