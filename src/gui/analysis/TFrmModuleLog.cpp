#include "gui/analysis/TFrmModuleLog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Monitor.h"

namespace telvar5 {

namespace {
constexpr const char* kTextFilter = "Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*";
}

TFrmModuleLog::TFrmModuleLog(Monitor& monitor, QWidget* parent) : QWidget(parent, Qt::Window), monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmModuleLog"));
    setWindowTitle(QStringLiteral("Журнал модуля"));
    lines_ = new QPlainTextEdit(this);
    lines_->setObjectName(QStringLiteral("ModuleLogLines"));
    lines_->setReadOnly(true);
    lines_->setMaximumBlockCount(static_cast<int>(ModuleHealth::kJournalCapacity));
    save_ = new QPushButton(QStringLiteral("Сохранить…"), this);
    save_->setObjectName(QStringLiteral("btSaveModuleLog"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines_);
    layout->addLayout(buttons);
    resize(560, 360);
    connect(save_, &QPushButton::clicked, this, &TFrmModuleLog::saveClick);
}

void TFrmModuleLog::showEvent(QShowEvent* event)
{
    refresh();
    QWidget::showEvent(event);
}

void TFrmModuleLog::refresh()
{
    const ModuleHealth& health = monitor_.health();
    if (health.eventsAdded() == shown_)
        return;
    // Events the journal has dropped since are not shown again: the view keeps its own last 10 000.
    const std::uint64_t fresh = std::min<std::uint64_t>(health.eventsAdded() - shown_, health.journal().size());
    for (auto it = health.journal().end() - static_cast<std::ptrdiff_t>(fresh); it != health.journal().end(); ++it)
        lines_->appendPlainText(QString::fromStdString(ModuleHealth::journalLine(*it)));
    shown_ = health.eventsAdded();
}

void TFrmModuleLog::saveClick()
{
    const auto file = monitor_.prompts().askSaveFileName({kTextFilter, ".", "txt", true, "Сохранить журнал модуля"});
    WriteProblem problem = WriteProblem::None;
    if (file && !monitor_.health().saveJournal(*file, &problem))
        monitor_.prompts().showError("Журнал модуля", "Журнал не сохранен: не удалось записать файл " + *file +
                                                          "\nПричина: " + writeProblemText(problem));
}

} // namespace telvar5
