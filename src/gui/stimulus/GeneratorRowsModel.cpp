#include "gui/stimulus/GeneratorRowsModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <array>

#include "core/stimulus/GeneratorFile.h"
#include "formats/ArincWord.h"
#include "formats/CellText.h"
#include "formats/DecimalText.h"
#include "formats/FormatLookup.h"
#include "gui/Cp1251Text.h"

namespace telvar5 {

namespace {

const std::array<const char*, GeneratorRowsModel::kColumns> kTitles{
    "Канал", "Метка", "Формат", "SSM", "Закон", "Параметры", "Интервал, мс", "Получен, мс", "Значение", "Слово"};
const std::array<const char*, GeneratorRowsModel::kColumns> kTitleHints{
    "Выходной канал, 1..8",
    "Метка (адрес) слова, восьмеричная",
    "Десятичный формат, через который значение кладется в слово",
    "Биты 30..31 слова; 3 — нормальная работа",
    "Как значение меняется со временем",
    "Числа закона в единицах формата",
    "Как часто выдавать метку, в миллисекундах; пусто — один раз за проход массива",
    "Интервал, который дал пуск: время прохода массива, деленное на число слов метки в нем",
    "Значение, которое несет слово сейчас",
    "Слово целиком, шестнадцатеричное"};

// In WaveformKind order.
const std::array<const char*, 6> kKindNames{"постоянное", "линейное", "синус", "меандр", "ступенька",
                                            "случайное блуждание"};
const std::array<const char*, 6> kArgumentHints{
    "ЗНАЧЕНИЕ",
    "ОТ ДО ПЕРИОД repeat|hold — от ОТ до ДО за ПЕРИОД секунд, затем снова (repeat) или стоять на ДО (hold)",
    "ЦЕНТР АМПЛИТУДА ПЕРИОД — период в секундах, период больше 0",
    "A B ПЕРИОД — A первую половину периода, B вторую; период в секундах",
    "A B МОМЕНТ — A до МОМЕНТА (секунд от пуска), затем B",
    "НИЖНЯЯ ВЕРХНЯЯ СКОРОСТЬ ЗЕРНО — от середины пределов, не быстрее СКОРОСТИ в секунду; "
    "одно зерно дает одно и то же блуждание"};

QColor alarmColour() { return QColor(200, 0, 0); }

int kindIndex(WaveformKind kind)
{
    return std::clamp(static_cast<int>(kind), 0, static_cast<int>(kKindNames.size()) - 1);
}

QStringList numbers(int first, int last)
{
    QStringList items;
    for (int n = first; n <= last; ++n)
        items << QString::number(n);
    return items;
}

// The waveform's text without its kind: the cell shows the kind in a column of its own.
QString argumentsOf(const Waveform& waveform)
{
    const std::string text = waveformText(waveform);
    const auto space = text.find(' ');
    return space == std::string::npos ? QString() : QString::fromStdString(text.substr(space + 1));
}

} // namespace

GeneratorRowsModel::GeneratorRowsModel(const RunState& run, QObject* parent) : QAbstractTableModel(parent), run_(run)
{
}

QStringList GeneratorRowsModel::kindNames()
{
    QStringList names;
    for (const char* name : kKindNames)
        names << QString::fromUtf8(name);
    return names;
}

int GeneratorRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GeneratorRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

int GeneratorRowsModel::formatOf(const GeneratorRow& row) const { return findFormatByTag(run_.formats, row.tag); }

QStringList GeneratorRowsModel::tagChoices() const
{
    QStringList tags;
    const int count = std::min<int>(run_.formats.formatCount, static_cast<int>(kFormatTableSize));
    for (int i = 0; i < count; ++i) {
        const DecimalFormat& format = run_.formats.formatTable[static_cast<std::size_t>(i)];
        const QString tag = textFromCp1251(format.tag());
        if (!format.tagEmpty() && !tags.contains(tag))
            tags << tag;
    }
    return tags;
}

bool GeneratorRowsModel::clamped(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= states_.size())
        return false;
    return states_[static_cast<std::size_t>(row)].fit != ValueFit::InRange;
}

QVariant GeneratorRowsModel::display(const EditedRow& edited, int row, int column) const
{
    const GeneratorRow& r = edited.row;
    switch (column) {
    case ColChannel:
        return QString::number(r.channel);
    case ColLabel:
        return QStringLiteral("%1").arg(r.label, 3, 8, QLatin1Char('0'));
    case ColTag:
        return textFromCp1251(r.tag);
    case ColSsm:
        return QString::number(r.ssm);
    case ColKind:
        return QString::fromUtf8(kKindNames[static_cast<std::size_t>(kindIndex(r.waveform.kind))]);
    case ColArguments:
        return edited.arguments;
    case ColInterval:
        return r.intervalMs > 0.0 ? QString::number(r.intervalMs, 'g', 10) : QString();
    default:
        break;
    }
    if (static_cast<std::size_t>(row) >= states_.size())
        return QString();
    const GeneratorRowState& state = states_[static_cast<std::size_t>(row)];
    if (column == ColAchieved)
        return state.intervalMs > 0.0 ? QString::number(state.intervalMs, 'f', 3) : QString();
    if (column == ColWord)
        return QStringLiteral("%1").arg(state.word, 8, 16, QLatin1Char('0')); // lower case, as the grids write hex
    const int format = formatOf(r);
    if (format < 0)
        return QString();
    CellText cell;
    const QString value =
        textFromCp1251(decimalText(state.word, run_.formats.formatTable[static_cast<std::size_t>(format)], cell))
            .simplified();
    // With bit 29 as data the sign sits in bit 30, one of the SSM bits: the word's SSM is then not the row's.
    return ssmChanged(row) ? value + QStringLiteral("  SSM %1").arg(wordSsm(state.word)) : value;
}

bool GeneratorRowsModel::ssmChanged(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= states_.size() || static_cast<std::size_t>(row) >= rows_.size())
        return false;
    return wordSsm(states_[static_cast<std::size_t>(row)].word) != rows_[static_cast<std::size_t>(row)].row.ssm;
}

QVariant GeneratorRowsModel::toolTip(const EditedRow& edited, int row, int column) const
{
    if (column == ColArguments) {
        const QString expected = QString::fromUtf8(kArgumentHints[static_cast<std::size_t>(kindIndex(edited.row.waveform.kind))]);
        return edited.argumentsGood ? expected : QStringLiteral("Неверные параметры. Ожидается: ") + expected;
    }
    if (column == ColValue || column == ColWord) {
        QStringList notes;
        if (clamped(row))
            notes << QStringLiteral("значение ограничено: закон дает %1")
                         .arg(states_[static_cast<std::size_t>(row)].value, 0, 'g', 9);
        if (ssmChanged(row))
            notes << QStringLiteral("бит 29 формата — данные, знак в бите 30: SSM слова %1, а не %2")
                         .arg(wordSsm(states_[static_cast<std::size_t>(row)].word))
                         .arg(edited.row.ssm);
        if (!notes.isEmpty())
            return notes.join(QLatin1Char('\n'));
    }
    if (column >= 0 && column < kColumns)
        return QString::fromUtf8(kTitleHints[static_cast<std::size_t>(column)]);
    return {};
}

QVariant GeneratorRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const int column = index.column();
    const EditedRow& edited = rows_[static_cast<std::size_t>(row)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return display(edited, row, column);
    case Qt::ToolTipRole:
        return toolTip(edited, row, column);
    case Qt::ForegroundRole:
        if ((column == ColArguments && !edited.argumentsGood) || ((column == ColValue || column == ColWord) && clamped(row)))
            return QBrush(alarmColour());
        return {};
    case kChoicesRole:
        switch (column) {
        case ColChannel:
            return numbers(1, kChannels);
        case ColSsm:
            return numbers(0, 3);
        case ColKind:
            return kindNames();
        case ColTag: {
            QStringList tags = tagChoices();
            // A tag no format has (a file from another bench) stays choosable, so opening the list changes nothing.
            if (const QString own = textFromCp1251(edited.row.tag); !own.isEmpty() && !tags.contains(own))
                tags << own;
            return tags;
        }
        default:
            return {};
        }
    default:
        return {};
    }
}

bool GeneratorRowsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (running_ || role != Qt::EditRole || !index.isValid() || index.row() >= rowCount())
        return false;
    EditedRow& edited = rows_[static_cast<std::size_t>(index.row())];
    GeneratorRow& r = edited.row;
    const QString text = value.toString().trimmed();
    bool ok = false;
    auto refuse = [this](const QString& reason) {
        emit editRefused(reason);
        return false;
    };
    switch (index.column()) {
    case ColChannel: {
        const int channel = text.toInt(&ok);
        if (!ok || channel < 1 || channel > kChannels)
            return refuse(QStringLiteral("канал: от 1 до 8"));
        r.channel = channel;
        break;
    }
    case ColLabel: {
        const uint label = text.toUInt(&ok, 8);
        if (!ok || text.size() > 3 || label > 0377)
            return refuse(QStringLiteral("метка: восьмеричное число от 0 до 377"));
        r.label = static_cast<std::uint8_t>(label);
        break;
    }
    case ColTag:
        if (text.isEmpty())
            return refuse(QStringLiteral("формат: тег не задан"));
        r.tag = cp1251FromText(text);
        break;
    case ColSsm: {
        const int ssm = text.toInt(&ok);
        if (!ok || ssm < 0 || ssm > 3)
            return refuse(QStringLiteral("SSM: от 0 до 3"));
        r.ssm = static_cast<std::uint8_t>(ssm);
        break;
    }
    case ColKind: {
        const auto kind = kindNames().indexOf(text);
        if (kind < 0)
            return refuse(QStringLiteral("вид: один из списка"));
        r.waveform.kind = static_cast<WaveformKind>(kind);
        parseArguments(edited);
        break;
    }
    case ColArguments:
        edited.arguments = text;
        parseArguments(edited);
        break;
    case ColInterval: {
        const double interval = text.isEmpty() ? 0.0 : text.toDouble(&ok);
        if (!text.isEmpty() && (!ok || !(interval > 0.0 && interval <= kGeneratorMaxIntervalMs)))
            return refuse(QStringLiteral("интервал: миллисекунды больше 0 и не больше 60000 (с точкой); "
                                         "пусто — один раз за проход массива"));
        r.intervalMs = interval;
        break;
    }
    default:
        return false;
    }
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(kColumns - 1));
    forgetStates();
    return true;
}

void GeneratorRowsModel::parseArguments(EditedRow& edited) const
{
    const WaveformKind kind = edited.row.waveform.kind;
    const std::string text = std::string(waveformKindName(kind)) + ' ' + edited.arguments.toStdString();
    const std::optional<Waveform> parsed = parseWaveform(text);
    edited.argumentsGood = parsed && parsed->kind == kind;
    if (edited.argumentsGood)
        edited.row.waveform = *parsed;
}

QVariant GeneratorRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(kTitleHints[static_cast<std::size_t>(section)]);
    return {};
}

Qt::ItemFlags GeneratorRowsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags cell = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return running_ || index.column() >= ColAchieved ? cell : cell | Qt::ItemIsEditable;
}

std::vector<GeneratorRow> GeneratorRowsModel::rows() const
{
    std::vector<GeneratorRow> rows;
    rows.reserve(rows_.size());
    for (const EditedRow& edited : rows_)
        rows.push_back(edited.row);
    return rows;
}

int GeneratorRowsModel::firstBadRow() const
{
    const auto bad = std::find_if(rows_.begin(), rows_.end(), [](const EditedRow& e) { return !e.argumentsGood; });
    return bad == rows_.end() ? -1 : static_cast<int>(bad - rows_.begin());
}

void GeneratorRowsModel::setRows(const std::vector<GeneratorRow>& rows)
{
    beginResetModel();
    rows_.clear();
    rows_.reserve(rows.size());
    for (const GeneratorRow& row : rows)
        rows_.push_back({row, argumentsOf(row.waveform), true});
    states_.clear();
    endResetModel();
}

void GeneratorRowsModel::addRow(int after)
{
    if (running_)
        return;
    const int count = rowCount();
    const int source = after >= 0 && after < count ? after : count - 1;
    EditedRow added;
    if (source >= 0) {
        added = rows_[static_cast<std::size_t>(source)];
        added.row.label = static_cast<std::uint8_t>(added.row.label + 1);
    } else {
        const QStringList tags = tagChoices();
        added.row.tag = tags.isEmpty() ? std::string() : cp1251FromText(tags.first());
        added.arguments = argumentsOf(added.row.waveform);
    }
    const int at = source + 1;
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, added);
    endInsertRows();
    forgetStates();
}

void GeneratorRowsModel::removeRows(std::vector<int> rows)
{
    if (running_)
        return;
    // From the last up, so the indices left stay right.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        beginRemoveRows({}, row, row);
        rows_.erase(rows_.begin() + row);
        endRemoveRows();
    }
    forgetStates();
}

void GeneratorRowsModel::forgetStates()
{
    // The values shown were made from the rows before an edit.
    if (states_.empty())
        return;
    states_.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, ColAchieved), index(rowCount() - 1, ColWord));
}

void GeneratorRowsModel::setRunning(bool running)
{
    if (running_ == running)
        return;
    running_ = running;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void GeneratorRowsModel::showStates(std::span<const GeneratorRowState> states)
{
    states_.assign(states.begin(), states.end());
    if (rowCount() > 0)
        emit dataChanged(index(0, ColAchieved), index(rowCount() - 1, ColWord));
}

} // namespace telvar5
