#include "gui/analysis/ModuleOverviewModel.h"

#include <QBrush>
#include <QPalette>

#include "core/analysis/ModuleOverview.h"

namespace telvar5 {

namespace {
const std::array<const char*, ModuleOverview::kInputColumns> kInputTitles{
    "Режим", "Частота", "Слов/с за 10 с", "Меток", "Последнее слово"};
const std::array<const char*, ModuleOverview::kOutputColumns> kOutputTitles{
    "Режим", "Частота", "Слов в массиве", "Время выдачи", "Канал занят"};
} // namespace

ModuleOverviewModel::ModuleOverviewModel(Side side, QObject* parent) : QAbstractTableModel(parent), side_(side) {}

int ModuleOverviewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kChannels; }

int ModuleOverviewModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return side_ == Side::Inputs ? ModuleOverview::kInputColumns : ModuleOverview::kOutputColumns;
}

QVariant ModuleOverviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= kChannels)
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() < static_cast<int>(row.texts.size()) ? row.texts[static_cast<std::size_t>(index.column())]
                                                                   : QString();
    if (role == Qt::ForegroundRole && row.grey)
        return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
    return {};
}

QVariant ModuleOverviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString::number(section + 1);
    if (section < 0 || section >= columnCount())
        return {};
    return QString::fromUtf8(side_ == Side::Inputs ? kInputTitles[static_cast<std::size_t>(section)]
                                                   : kOutputTitles[static_cast<std::size_t>(section)]);
}

void ModuleOverviewModel::setRow(int ch, const std::vector<std::string>& texts, bool grey)
{
    if (ch < 0 || ch >= kChannels)
        return;
    Row next;
    next.grey = grey;
    for (const std::string& text : texts)
        next.texts.push_back(QString::fromStdString(text));
    Row& row = rows_[static_cast<std::size_t>(ch)];
    if (row.texts == next.texts && row.grey == next.grey)
        return;
    row = std::move(next);
    emit dataChanged(index(ch, 0), index(ch, columnCount() - 1));
}

} // namespace telvar5
