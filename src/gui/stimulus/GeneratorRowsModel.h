#pragma once
// The rows of the parameter generator as the window edits them: channel,
// label (octal), format tag, SSM, waveform kind and its arguments, the
// requested transmit interval and the one the start achieved, then what the
// running generator made of each row at the last tick. A row's arguments
// are kept as typed, so a text the waveform parser refuses stays on screen
// (in red) until it is mended; the generator only ever gets rows that parsed.
#include <QAbstractTableModel>
#include <QStringList>
#include <span>
#include <vector>

#include "core/RunState.h"
#include "core/stimulus/GeneratorRow.h"
#include "core/stimulus/ParameterGenerator.h"

namespace telvar5 {

class GeneratorRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColChannel, ColLabel, ColTag, ColSsm, ColKind, ColArguments, ColInterval, ColAchieved, ColValue, ColWord,
                  kColumns };
    // The items a cell is chosen from (a QStringList); none for typed cells.
    static constexpr int kChoicesRole = Qt::UserRole + 1;

    explicit GeneratorRowsModel(const RunState& run, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The rows as the generator takes them; valid only when firstBadRow() is -1.
    std::vector<GeneratorRow> rows() const;
    // The first row whose arguments do not parse, or -1.
    int firstBadRow() const;
    void setRows(const std::vector<GeneratorRow>& rows);
    // A row after `after` (or at the end when it is -1): a copy of that row with
    // the next label, or a constant 0 through the first decimal format.
    void addRow(int after);
    void removeRows(std::vector<int> rows);

    // While running nothing is editable and the value columns show `states`.
    void setRunning(bool running);
    bool running() const { return running_; }
    void showStates(std::span<const GeneratorRowState> states);

    // The waveform kinds as the kind column shows them, in WaveformKind order.
    static QStringList kindNames();

signals:
    // A typed value was refused and the cell kept its value; the reason says why.
    void editRefused(const QString& reason);

private:
    struct EditedRow {
        GeneratorRow row;
        QString arguments; // the waveform's text after its kind
        bool argumentsGood = true;
    };
    void parseArguments(EditedRow& edited) const;
    QVariant display(const EditedRow& edited, int row, int column) const;
    QVariant toolTip(const EditedRow& edited, int row, int column) const;
    bool clamped(int row) const;
    // The row's word went out with another SSM than the row's (the sign in bit 30).
    bool ssmChanged(int row) const;
    void forgetStates();
    QStringList tagChoices() const;
    int formatOf(const GeneratorRow& row) const;

    const RunState& run_;
    std::vector<EditedRow> rows_;
    std::vector<GeneratorRowState> states_; // empty when the rows were edited since the last start
    bool running_ = false;
};

} // namespace telvar5
