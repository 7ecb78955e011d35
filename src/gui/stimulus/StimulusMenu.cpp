#include "gui/stimulus/StimulusMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

#include "core/Monitor.h"
#include "gui/ToolMenu.h"
#include "gui/stimulus/TFrmParamGenerator.h"
#include "gui/stimulus/TFrmReplay.h"

namespace telvar5 {

StimulusMenu::StimulusMenu(QMainWindow& window, Monitor& monitor)
    : QObject(&window), window_(window), monitor_(monitor)
{
    menu_ = addMenuBeforeHelp(window, "Стимулы", "mmStimulus");
    generatorItem_ = addMenuItem(menu_, "mmParamGenerator", "Генератор параметров…",
                                 "Выдача меток с физическими значениями, меняющимися по заданному закону");
    replayItem_ = addMenuItem(menu_, "mmReplay", "Воспроизведение…",
                              "Выдача слов записанного входного канала в выходной канал в их записанное время");

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
    showToolWindow(window_, generator_);
}

void StimulusMenu::ReplayExecute()
{
    if (!replay_) {
        replay_ = new TFrmReplay(monitor_, &window_);
        connect(replay_, &TFrmReplay::outputChanged, this, &StimulusMenu::outputChanged);
    }
    showToolWindow(window_, replay_);
}

void StimulusMenu::afterTick()
{
    if (generator_)
        generator_->afterTick();
    if (replay_)
        replay_->afterTick();
}

} // namespace telvar5
