// The module's health as the requests show it: a failure is an alarm until a
// tick whose requests all succeed, short replies are told apart, and the
// journal keeps the first failure of a run, the return to health and the
// module's life, never more than its capacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Monitor.h"
#include "core/device/ModuleHealth.h"
#include "support/FakeBus.h"
#include "support/FakePrompts.h"

using namespace telvar5;

namespace {

std::vector<std::string> journalTexts(const ModuleHealth& health)
{
    std::vector<std::string> texts;
    for (const HealthEvent& e : health.journal())
        texts.push_back(e.text);
    return texts;
}

TEST(ModuleHealth, FailuresAlarmUntilAWholeTickSucceedsAndShortRepliesAreToldApart)
{
    test::FakeBus bus;
    bus.modules[0] = {1021, makeConfigWord(8, 8), true};
    test::FakePrompts prompts;
    Monitor m(bus, prompts);
    m.deviceChoice().search();
    m.deviceChoice().Button1Click();
    m.deviceChoice().afterDialog();
    m.lifecycle().DeviceInitializationExecute();
    m.reception().SIaddressPuskExecute();
    const ModuleHealth& health = m.health();

    struct Step {
        const char* what;
        bool fail;
        bool shortReplies;
        HealthState state;
        const char* indicator;
    };
    const Step steps[] = {
        {"all well", false, false, HealthState::Healthy, ""},
        {"every request fails", true, false, HealthState::NotAnswering, "модуль не отвечает"},
        {"still failing", true, false, HealthState::NotAnswering, "модуль не отвечает"},
        {"answers, but short", false, true, HealthState::ShortReplies, "ответы неполные"},
        {"short again", false, true, HealthState::ShortReplies, "ответы неполные"},
        {"whole again", false, false, HealthState::Healthy, ""},
    };
    for (const Step& step : steps) {
        bus.failAll = step.fail;
        bus.shortReplies = step.shortReplies;
        m.refresh().Timer1Timer();
        EXPECT_EQ(health.state(), step.state) << step.what;
        EXPECT_EQ(health.indicatorText(), step.indicator) << step.what;
    }
    EXPECT_EQ(health.failedRequests(), 2u * 258u); // two ticks of 2 + 256 requests
    EXPECT_EQ(health.lastError(), "не удалось прочитать слово из буфера приема (ReqSIreadWord): модуль не ответил");

    m.lifecycle().DeviceResetExecute();
    const std::vector<std::string> expected{
        "выбор модуля (сброс)",
        "инициализация",
        // The first failure of the run, once.
        "модуль не отвечает: не удалось узнать состояние выходного канала (ReqSOstate): модуль не ответил",
        "неполный ответ: ReqSOstate (1 из 2 байт)",   // once for each kind of request
        "неполный ответ: ReqSIstate (1 из 2 байт)",
        "неполный ответ: ReqSIreadWord (5 из 6 байт)",
        "модуль снова отвечает после 516 отказов; ответы неполные",
        "ответы снова полные",
        "останов",
    };
    EXPECT_EQ(journalTexts(health), expected);
}

TEST(ModuleHealth, TheAlarmTellsItsFailuresAndALaterFailureOutsideATickRaisesItAtOnce)
{
    ModuleHealth health([] { return std::int64_t{0}; });
    health.requestDone(ReqSOstopChannel, false, 0, 2, 1167);
    EXPECT_EQ(health.state(), HealthState::NotAnswering);
    EXPECT_EQ(health.indicatorTip(), "Модуль не отвечает: не удалось остановить выдачу в выходном канале "
                                     "(ReqSOstopChannel): устройство не подключено (ошибка 1167).\n"
                                     "Отказов подряд: 1, всего: 1.\n" +
                                         std::string(kWhatToDoText));
    health.tickStarted();
    health.requestDone(ReqSOstate, true, 2, 2, 0);
    health.tickEnded();
    EXPECT_EQ(health.state(), HealthState::Healthy);
    EXPECT_EQ(health.indicatorTip(), "");
}

TEST(ModuleHealth, TheJournalKeepsItsLastEventsOnly)
{
    ModuleHealth health([] { return std::int64_t{0}; });
    const std::size_t runs = ModuleHealth::kJournalCapacity / 2 + 1; // two events a run
    for (std::size_t i = 0; i < runs; ++i) {
        health.requestDone(ReqSIstate, false, 0, 2, 0);
        health.tickStarted();
        health.tickEnded();
    }
    EXPECT_EQ(health.eventsAdded(), 2 * runs);
    ASSERT_EQ(health.journal().size(), ModuleHealth::kJournalCapacity);
    EXPECT_EQ(health.journal().back().text, "модуль снова отвечает после 1 отказов");
    const std::string line = ModuleHealth::journalLine(health.journal().back());
    EXPECT_EQ(line.substr(line.size() - health.journal().back().text.size() - 2), "  модуль снова отвечает после 1 отказов");

    // Saved, a line an event.
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "telvar5-health-journal.txt";
    ASSERT_TRUE(health.saveJournal(file.string()));
    std::size_t lines = 0;
    {
        std::ifstream in(file); // closed before the file goes: Windows keeps an open file
        for (std::string read; std::getline(in, read);)
            lines += read.find("  модуль ") != std::string::npos;
    }
    EXPECT_EQ(lines, ModuleHealth::kJournalCapacity);
    std::filesystem::remove(file);
    EXPECT_FALSE(health.saveJournal((file.parent_path() / "no-such-folder" / "j.txt").string()));
}

} // namespace
