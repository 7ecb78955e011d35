#pragma once
// The output parameter array of the displayed output channel as a table: one
// row per word in use (arraySize of the channel), three columns: the index,
// the address (label) in octal and the code in hexadecimal. It reads the run
// state directly and keeps no text of its own. It is never reset: a new size
// inserts or removes rows, a changed word repaints its row.
#include <QAbstractTableModel>

#include "core/RunState.h"

namespace telvar5 {

class OutputArrayModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 3;
    static constexpr int kWords = static_cast<int>(kOutputWords); // rows of a full array

    explicit OutputArrayModel(const RunState& run, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of a cell as drawn.
    QString cellText(int row, int column) const;
    // The same into `text`, whose storage is kept: the grid's repaint builds
    // every cell's text in one string without allocating.
    void cellText(int row, int column, QString& text) const;

    // The displayed channel's size may have changed: rows follow it.
    void sizeChanged();
    // One word changed / any word may have changed (tab, clear, test fill, file).
    void wordChanged(int wordIndex);
    void wordsChanged();

private:
    int displayedSize() const;

    const RunState& run_;
    int rows_ = kWords;
};

} // namespace telvar5
