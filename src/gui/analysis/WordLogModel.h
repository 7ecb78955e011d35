#pragma once
// The rows of "Поток слов" as a table over the log session's rows. Live, rows
// are only appended at the end, and the oldest leave from the front when the
// log is full: sync() tells the view just that. A new filter or another
// source (a recording, the live log again) starts the rows afresh. The texts
// of the rows in sight are kept, so painting a screen reads each row once.
#include <QAbstractTableModel>
#include <QHash>
#include <cstdint>

#include "core/analysis/WordLogRow.h"

namespace telvar5 {

class WordLogSession;

class WordLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColSinceStart,
        ColWallClock,
        ColChannel,
        ColLabel,
        ColSdi,
        ColData,
        ColSsm,
        ColParity,
        ColWord,
        ColValue,
        ColUnits,
        ColSinceSameLabel,
        kColumns
    };

    explicit WordLogModel(WordLogSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The session's rows grew (or lost their oldest): the view is told what changed.
    void sync();
    // Another filter or source: every row anew.
    void restart();
    // The texts changed (formats, intervals found by a scan): rows are read again.
    void textsChanged();

private:
    const WordLogRow* rowText(int row) const;

    WordLogSession& session_;
    int shown_ = 0;
    std::uint64_t droppedSeen_ = 0;
    // The texts of rows read lately (a screenful or two): cleared when rows move.
    mutable QHash<int, WordLogRow> texts_;
};

} // namespace telvar5
