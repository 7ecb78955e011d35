#include "gui/ColumnWidths.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace telvar5 {

namespace {

// The narrowest a title gets in at most two lines, broken at a space.
int twoLineWidth(const QFontMetrics& metrics, const QString& title)
{
    int narrowest = metrics.horizontalAdvance(title);
    for (auto space = title.indexOf(QLatin1Char(' ')); space >= 0; space = title.indexOf(QLatin1Char(' '), space + 1))
        narrowest = std::min(narrowest, std::max(metrics.horizontalAdvance(title.left(space)),
                                                 metrics.horizontalAdvance(title.mid(space + 1))));
    return narrowest;
}

} // namespace

int fitColumnsToTexts(QTableView& grid, std::span<const char* const> widestTexts, ColumnRoom room)
{
    QHeaderView& header = *grid.horizontalHeader();
    const QFontMetrics texts(grid.font());
    const QFontMetrics titles(header.font());
    int total = 0;
    bool twoLines = false;
    for (int column = 0; column < static_cast<int>(widestTexts.size()); ++column) {
        const QString title = grid.model() ? grid.model()->headerData(column, Qt::Horizontal).toString() : QString();
        const QString text = QString::fromUtf8(widestTexts[static_cast<std::size_t>(column)]);
        const int oneLine = titles.horizontalAdvance(title) + room.title;
        const int width = std::max(texts.horizontalAdvance(text) + room.text,
                                   std::min(oneLine, twoLineWidth(titles, title) + room.title));
        twoLines |= width < oneLine;
        grid.setColumnWidth(column, width);
        total += width;
    }
    if (twoLines) {
        // A title wider than what its column holds takes two lines rather than widen the window.
        header.setDefaultAlignment(header.defaultAlignment() | Qt::Alignment(Qt::TextWordWrap));
        header.setTextElideMode(Qt::ElideNone);
        header.setMinimumHeight(header.sizeHint().height() + titles.lineSpacing());
    }
    return total;
}

} // namespace telvar5
