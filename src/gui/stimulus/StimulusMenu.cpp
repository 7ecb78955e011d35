#include "gui/stimulus/StimulusMenu.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "core/Monitor.h"
#include "gui/stimulus/TFrmParamGenerator.h"
#include "gui/stimulus/TFrmReplay.h"

namespace telvar5 {

namespace {

QAction* addItem(QMenu* menu, const char* name, const char* caption, const char* hint)
{
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setStatusTip(QString::fromUtf8(hint));
    return item;
}

// A window of its own beside the main one, raised when asked for again.
void showTool(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

StimulusMenu::StimulusMenu(QMainWindow& window, Monitor& monitor)
    : QObject(&window), window_(window), monitor_(monitor)
{
    QMenuBar* bar = window.menuBar();
    menu_ = new QMenu(QStringLiteral("Стимулы"), bar);
    menu_->setObjectName(QStringLiteral("mmStimulus"));
    menu_->menuAction()->setObjectName(QStringLiteral("mmStimulusAction"));
    generatorItem_ = addItem(menu_, "mmParamGenerator", "Генератор параметров…",
                             "Выдача меток с физическими значениями, меняющимися по заданному закону");
    replayItem_ = addItem(menu_, "mmReplay", "Воспроизведение…",
                          "Выдача слов записанного входного канала в выходной канал в их записанное время");

    const auto* help = bar->findChild<QMenu*>(QStringLiteral("mmHelp"));
    bar->insertMenu(help ? help->menuAction() : nullptr, menu_);

    connect(generatorItem_, &QAction::triggered, this, &StimulusMenu::GeneratorExecute);
    connect(replayItem_, &QAction::triggered, this, &StimulusMenu::ReplayExecute);
}

StimulusMenu::~StimulusMenu()
{
    delete generator_;
    delete replay_;
}

void StimulusMenu::GeneratorExecute()
{
    if (!generator_) {
        generator_ = new TFrmParamGenerator(monitor_, &window_);
        connect(generator_, &TFrmParamGenerator::outputChanged, this, &StimulusMenu::outputChanged);
    }
    showTool(generator_);
}

void StimulusMenu::ReplayExecute()
{
    if (!replay_) {
        replay_ = new TFrmReplay(monitor_, &window_);
        connect(replay_, &TFrmReplay::outputChanged, this, &StimulusMenu::outputChanged);
    }
    showTool(replay_);
}

void StimulusMenu::afterTick()
{
    if (generator_)
        generator_->afterTick();
    if (replay_)
        replay_->afterTick();
}

} // namespace telvar5
