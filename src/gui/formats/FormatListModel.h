#pragma once
// The decimal format table as a grid's model: six columns with the editors'
// titles and texts. It reads the table directly and keeps no text of its own.
#include "formats/FormatTables.h"
#include "gui/formats/RecordRowsModel.h"

namespace telvar5 {

class FormatListModel : public RecordRowsModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 6;

    explicit FormatListModel(const FormatTables& tables, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of a data cell, as drawn.
    QString cellText(int record, int column) const;

private:
    const FormatTables& tables_;
};

} // namespace telvar5
