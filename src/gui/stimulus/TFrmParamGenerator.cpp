#include "gui/stimulus/TFrmParamGenerator.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "core/Monitor.h"
#include "core/stimulus/GeneratorFile.h"
#include "formats/ReplaceFile.h"
#include "gui/ColumnWidths.h"
#include "gui/ClickOpensEditor.h"
#include "gui/UiFonts.h"
#include "gui/stimulus/ChoiceDelegate.h"
#include "gui/stimulus/GeneratorRowsModel.h"

namespace telvar5 {

namespace {

constexpr const char* kGeneratorFilter = "Файлы генератора (*.gen)|*.gen|*.*|*.*";
constexpr int kFontPx = 12;
constexpr int kComboArrowRoom = 16;
// The widest text each column is expected to hold.
const char* const kWidestTexts[] = {
    "8", "377", "ATTITUDE", "3", "случайное блуждание", "0 40000 60 repeat", "99999.99", "99999.99",
    "+35000.000000 фут/мн", "FFFFFFFF"};
// One text for every column: a column added to the model and not here would take its neighbour's width.
static_assert(std::size(kWidestTexts) == GeneratorRowsModel::kColumns);

QPushButton* toolButton(QHBoxLayout* row, QWidget* parent, const char* name, const char* caption, const char* hint)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromUtf8(hint));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

} // namespace

TFrmParamGenerator::TFrmParamGenerator(Monitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmParamGenerator"));
    setWindowTitle(QStringLiteral("Генератор параметров"));
    setFont(ui::sansFont(kFontPx));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto* buttons = new QHBoxLayout;
    add_ = toolButton(buttons, this, "btAdd", "Добавить", "Новая строка после выделенной: следующая метка");
    remove_ = toolButton(buttons, this, "btRemove", "Удалить", "Удалить выделенные строки");
    buttons->addSpacing(12);
    open_ = toolButton(buttons, this, "btOpen", "Открыть…", "Прочитать строки из файла генератора (.gen)");
    save_ = toolButton(buttons, this, "btSave", "Сохранить…", "Записать строки в файл генератора (.gen)");
    buttons->addStretch(1);
    start_ = toolButton(buttons, this, "btStart", "Пуск",
                       "Разложить метки строк в массивы их каналов и начать циклическую выдачу");
    stop_ = toolButton(buttons, this, "btStop", "Стоп", "Остановить выдачу каналов генератора");
    layout->addLayout(buttons);

    model_ = new GeneratorRowsModel(monitor_.run(), this);
    model_->setRows(monitor_.stimuli().generator().rows());
    connect(model_, &GeneratorRowsModel::editRefused, this,
            [this](const QString& reason) { monitor_.prompts().refuse(reason.toStdString()); });
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("GeneratorGrid"));
    grid_->setModel(model_);
    grid_->setItemDelegate(new ChoiceDelegate(GeneratorRowsModel::kChoicesRole, grid_));
    grid_->setFont(ui::fixedFont(ui::kGridFontPx));
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    ClickOpensEditor::install(grid_); // a click on the selected cell, keeping the keys typed meanwhile
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid_->font()).height() + 8);
    int total = fitColumnsToTexts(*grid_, kWidestTexts, {16, 12});
    // Room for a combo box's arrow in the columns chosen from a list, and only there.
    for (const int column : {GeneratorRowsModel::ColChannel, GeneratorRowsModel::ColTag, GeneratorRowsModel::ColSsm,
                             GeneratorRowsModel::ColKind}) {
        grid_->setColumnWidth(column, grid_->columnWidth(column) + kComboArrowRoom);
        total += kComboArrowRoom;
    }
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_, 1);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lbStatus"));
    layout->addWidget(status_);

    connect(add_, &QPushButton::clicked, this, &TFrmParamGenerator::AddExecute);
    connect(remove_, &QPushButton::clicked, this, &TFrmParamGenerator::RemoveExecute);
    connect(open_, &QPushButton::clicked, this, &TFrmParamGenerator::OpenExecute);
    connect(save_, &QPushButton::clicked, this, &TFrmParamGenerator::SaveExecute);
    connect(start_, &QPushButton::clicked, this, &TFrmParamGenerator::StartExecute);
    connect(stop_, &QPushButton::clicked, this, &TFrmParamGenerator::StopExecute);

    // The row numbers (up to three digits), the frame and the vertical scroll bar beside the
    // columns, in the font in use: the last column ends inside the window.
    const int rowNumbers = grid_->verticalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("999"))
        + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid_->verticalHeader());
    const int gridWidth = total + rowNumbers + 2 * grid_->frameWidth()
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_->verticalScrollBar());
    resize(std::max(760, gridWidth + layout->contentsMargins().left() + layout->contentsMargins().right()), 380);
    showRunning();
}

void TFrmParamGenerator::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    showRunning();
}

void TFrmParamGenerator::afterTick()
{
    const ParameterGenerator& generator = monitor_.stimuli().generator();
    // A generator whose channels were all stopped from the main window stops by itself.
    if (generator.running() != model_->running())
        showRunning();
    else if (generator.running() && isVisible())
        model_->showStates(generator.rowStates());
}

void TFrmParamGenerator::showRunning()
{
    const ParameterGenerator& generator = monitor_.stimuli().generator();
    const bool running = generator.running();
    const bool hadStates = !generator.rowStates().empty() && generator.rows() == model_->rows();
    model_->setRunning(running);
    if (running || hadStates)
        model_->showStates(generator.rowStates());
    for (QPushButton* editing : {add_, remove_, open_, start_})
        editing->setEnabled(!running);
    stop_->setEnabled(running);

    if (!running) {
        status_->setText(QStringLiteral("Генератор остановлен"));
        return;
    }
    QStringList channels;
    for (int k = 0; k < kChannels; ++k)
        if (generator.channels().test(static_cast<std::size_t>(k)))
            channels << QString::number(k + 1);
    status_->setText(QStringLiteral("Генератор выдает: каналы %1").arg(channels.join(QStringLiteral(", "))));
}

bool TFrmParamGenerator::rowsReady()
{
    const int bad = model_->firstBadRow();
    if (bad < 0)
        return true;
    const QModelIndex cell = model_->index(bad, GeneratorRowsModel::ColArguments);
    grid_->setCurrentIndex(cell);
    monitor_.prompts().showError(kProgramTitle, QStringLiteral("Строка %1: неверные параметры закона «%2».\n%3")
                                                    .arg(bad + 1)
                                                    .arg(cell.data().toString(), cell.data(Qt::ToolTipRole).toString())
                                                    .toStdString());
    return false;
}

void TFrmParamGenerator::AddExecute()
{
    const QModelIndex current = grid_->currentIndex();
    model_->addRow(current.isValid() ? current.row() : -1);
    grid_->setCurrentIndex(model_->index(current.isValid() ? current.row() + 1 : model_->rowCount() - 1,
                                         GeneratorRowsModel::ColLabel));
}

void TFrmParamGenerator::RemoveExecute()
{
    std::vector<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty() && grid_->currentIndex().isValid())
        rows.push_back(grid_->currentIndex().row());
    model_->removeRows(std::move(rows));
}

void TFrmParamGenerator::OpenExecute()
{
    const auto file =
        monitor_.prompts().askOpenFileName({kGeneratorFilter, ".", "", false, "Открыть строки генератора"});
    if (!file)
        return;
    const GeneratorFileContents contents = readGeneratorFile(pathFromUtf8(*file));
    // A file that gave nothing leaves the rows on screen as they were.
    const bool nothingRead = contents.rows.empty() && (!contents.problem.empty() || !contents.badLines.empty());
    if (!nothingRead)
        model_->setRows(contents.rows);
    std::string problem = contents.problem.empty() ? std::string() : contents.problem + '\n' + *file;
    if (!contents.badLines.empty()) {
        problem += problem.empty() ? "" : "\n";
        problem += "Не прочитаны строки файла " + *file + ":\n" + badLinesText(contents.badLines, "\n");
    }
    if (!problem.empty())
        monitor_.prompts().showError(kProgramTitle, problem);
}

void TFrmParamGenerator::SaveExecute()
{
    if (!rowsReady())
        return;
    const auto file =
        monitor_.prompts().askSaveFileName({kGeneratorFilter, ".", "gen", false, "Сохранить строки генератора"});
    WriteProblem problem = WriteProblem::None;
    if (file && !writeGeneratorFile(pathFromUtf8(*file), model_->rows(), &problem))
        monitor_.prompts().showError(kProgramTitle, "Строки генератора не сохранены: не удалось записать файл " +
                                                        *file + "\nПричина: " + writeProblemText(problem));
}

void TFrmParamGenerator::StartExecute()
{
    ParameterGenerator& generator = monitor_.stimuli().generator();
    if (generator.running() || !rowsReady())
        return;
    generator.setRows(model_->rows());
    // An array typed by hand and not saved would be lost without a word.
    const std::string question = monitor_.stimuli().output().replaceUnsavedQuestion(generator.channelsNamed());
    if (!question.empty() && !monitor_.prompts().askYesNo(kProgramTitle, question))
        return;
    const std::string reason = generator.start(monitor_.clock().nowUs());
    if (!reason.empty())
        monitor_.prompts().showError(kProgramTitle, reason);
    showRunning();
    emit outputChanged();
}

void TFrmParamGenerator::StopExecute()
{
    monitor_.stimuli().generator().stop();
    showRunning();
    emit outputChanged();
}

} // namespace telvar5
