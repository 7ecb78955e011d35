#pragma once
// The input buffer of the displayed input channel as a table: one row per
// cell (0..255), eight columns. It reads the run state directly and keeps no
// text of its own; a tick tells it which rows took a word so that only those
// repaint, and the model is never reset.
#include <QAbstractTableModel>
#include <array>
#include <bitset>

#include "core/RunState.h"

namespace telvar5 {

class InputBufferModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit InputBufferModel(const RunState& run, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of a data cell, as drawn (units converted from Windows-1251).
    QString cellText(int row, int column) const;
    // The same into `text`, whose storage is kept: the grid's repaint builds
    // every cell's text in one string without allocating.
    void cellText(int row, int column, QString& text) const;

    // The refresh tick stored words in these cells of the displayed channel.
    void cellsStored(const std::bitset<kInputCells>& cells);
    // Another channel is shown, or its formats or cells changed wholesale.
    void channelChanged();

private:
    const RunState& run_;
};

} // namespace telvar5
