#include "gui/ColumnWidths.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace telvar5 {

int fitColumnsToTexts(QTableView& grid, std::span<const char* const> widestTexts, ColumnRoom room)
{
    const QFontMetrics texts(grid.font());
    const QFontMetrics titles(grid.horizontalHeader()->font());
    int total = 0;
    for (int column = 0; column < static_cast<int>(widestTexts.size()); ++column) {
        const QString title = grid.model() ? grid.model()->headerData(column, Qt::Horizontal).toString() : QString();
        const QString text = QString::fromUtf8(widestTexts[static_cast<std::size_t>(column)]);
        const int width = std::max(titles.horizontalAdvance(title) + room.title, texts.horizontalAdvance(text) + room.text);
        grid.setColumnWidth(column, width);
        total += width;
    }
    return total;
}

} // namespace telvar5
