#pragma once
// The labels of the shown input channel as a table over the core's label
// statistics: one row per label seen since reception started, in the order
// first seen, so rows never move under the view. The model is never reset:
// refresh() after a tick inserts the rows of new labels, tells which rows took
// a word and that every rate moved on; a channel switch or a restart of
// reception removes every row before the new ones come in. A label with no
// fresh word for the staleness time of the statistics shows grey.
#include <QAbstractTableModel>
#include <bitset>
#include <cstdint>

#include "core/RunState.h"
#include "core/analysis/LabelStatistics.h"

namespace telvar5 {

class LabelStatsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColLabel,
        ColCount,
        ColRate,
        ColMinInterval,
        ColMaxInterval,
        ColLastWord,
        ColSdi,        // bits 9..10 of the last word
        ColParity,     // the last word's parity as the module handed it over: "нечёт" (ARINC's) or "чёт"
        ColEvenParity, // words with even parity since the start
        ColValue,
        kColumns
    };
    // Numbers to sort by, for every column: texts would sort "10" before "9".
    static constexpr int kSortRole = Qt::UserRole;

    LabelStatsModel(LabelStatistics& statistics, const RunState& run, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Brings the rows up to the statistics of the shown channel; rates are
    // taken at capture time `nowUs`.
    void refresh(std::int64_t nowUs);
    // Channel index (0..7) of the rows.
    std::size_t channel() const noexcept { return channel_; }

private:
    // The label of `row`, or -1 when the row is gone from the statistics
    // (restarted since the last refresh).
    int labelOf(int row) const;
    QString text(int column, int label, const LabelStatistics::Figures& f) const;
    QVariant sortKey(int column, int label, const LabelStatistics::Figures& f) const;
    void emitRowRuns(const std::bitset<LabelStatistics::kLabelCount>& touched, int rows, int& covered);
    // The rows shown whose staleness changed since the last refresh: their whole row is told.
    void emitStaleChanges(int rows);

    LabelStatistics& statistics_;
    const RunState& run_;
    std::size_t channel_ = 0;
    std::uint32_t generation_ = 0;
    int rows_ = 0;
    std::int64_t nowUs_ = 0;
    // By row: stale as last told.
    std::bitset<LabelStatistics::kLabelCount> staleRows_;
    // The formats the value column last showed, to notice an edit of them.
    LabelFormatTable formats_{};
};

} // namespace telvar5
