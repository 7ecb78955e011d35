#pragma once
// The rows of "Обзор модуля": the eight inputs or the eight outputs, as the
// core's ModuleOverview writes them. The window hands every row in after each
// tick; the model compares it with what it showed and tells the view of the
// changed rows only (dataChanged); it is never reset.
#include <QAbstractTableModel>
#include <array>
#include <string>
#include <vector>

#include "core/RunState.h"

namespace telvar5 {

class ModuleOverviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Side { Inputs, Outputs };

    ModuleOverviewModel(Side side, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Row ch's texts (UTF-8) and whether it is greyed out (an input without a fresh word lately).
    void setRow(int ch, const std::vector<std::string>& texts, bool grey);

private:
    struct Row {
        std::vector<QString> texts;
        bool grey = false;
    };
    Side side_;
    std::array<Row, kChannels> rows_;
};

} // namespace telvar5
