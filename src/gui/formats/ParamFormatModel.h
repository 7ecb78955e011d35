#pragma once
// The parameter format table as the grid DrawGrid2 of the parameter formats
// editor: one row per data row (record r in row r), three columns: the label
// in octal, the channel, and the tag, red when no decimal format has it. It
// reads the table directly and keeps no text of its own.
#include "core/formats/ParamFormatEditor.h"
#include "gui/formats/RecordRowsModel.h"

namespace telvar5 {

class ParamFormatModel : public RecordRowsModel {
    Q_OBJECT
public:
    static constexpr int kColumns = ParamFormatEditor::kParamColumns;

    ParamFormatModel(const FormatTables& tables, const ParamFormatEditor& editor, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString cellText(int record, int column) const;
    // Whether the record's tag is drawn red: no decimal format has it.
    bool tagUnknown(int record) const;

private:
    const FormatTables& tables_;
    const ParamFormatEditor& editor_;
};

} // namespace telvar5
