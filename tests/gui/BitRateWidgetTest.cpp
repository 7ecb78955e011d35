// The bit-rate panel: the lists' items, the codes the user's picks store, and
// the initialisation request that carries them to the module.
#include <QLabel>

#include "MainWindowFixture.h"
#include "core/device/BitRates.h"

namespace telvar5::widgets_test {
namespace {

using BitRateWidgets = MainWindowTest;

QComboBox* list(QWidget* window, const char* side, int channel)
{
    return child<QComboBox>(window, (std::string("cbFreq") + side + std::to_string(channel)).c_str());
}

TEST_F(BitRateWidgets, ListsOfferTheirColumnsRatesWithoutTyping)
{
    open();
    for (int n = 1; n <= 8; ++n) {
        QComboBox* input = list(window.get(), "SI", n);
        QComboBox* output = list(window.get(), "SO", n);
        EXPECT_FALSE(input->isEditable());
        EXPECT_FALSE(output->isEditable());
        ASSERT_EQ(input->count(), 3);
        ASSERT_EQ(output->count(), 3);
        EXPECT_EQ(input->currentIndex(), 0);
        EXPECT_EQ(output->currentIndex(), 0);
    }
    QComboBox* input = list(window.get(), "SI", 1);
    QComboBox* output = list(window.get(), "SO", 1);
    EXPECT_EQ(input->itemText(0), QStringLiteral("12..14,5КГц"));
    EXPECT_EQ(input->itemText(1), QStringLiteral("48КГц+/-25%"));
    EXPECT_EQ(input->itemText(2), QStringLiteral("100КГц+/-1%"));
    EXPECT_EQ(output->itemText(0), QStringLiteral("12,5КГц+/-1%"));
    EXPECT_EQ(output->itemText(1), QStringLiteral("50КГц+/-1%"));
    EXPECT_EQ(output->itemText(2), QStringLiteral("100КГц+/-1%"));
}

TEST_F(BitRateWidgets, EachListStoresItsChannelsCodeOnly)
{
    open();
    choose();
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        list(window.get(), "SI", n)->setCurrentIndex(2);
        list(window.get(), "SO", n)->setCurrentIndex(1);
        const FreqCodes& codes = window->monitor().run().freqCodes;
        for (int byte = 0; byte < 16; ++byte) {
            const bool inputSet = byte < 8 && byte < n;
            const bool outputSet = byte >= 8 && byte - 8 < n;
            EXPECT_EQ(codes[static_cast<std::size_t>(byte)], inputSet ? 2 : outputSet ? 1 : 0) << "byte " << byte;
        }
    }
    // A pick changes neither status line nor text of the displayed channel.
    EXPECT_TRUE(window->monitor().run().siFreqText.empty());
    EXPECT_EQ(bus.count(ReqDeviceInitialization), 0);
}

TEST_F(BitRateWidgets, InitialisationCarriesTheCodes)
{
    open();
    choose();
    list(window.get(), "SO", 3)->setCurrentIndex(1); // "50КГц+/-1%"
    initialise();
    const auto* init = bus.last(ReqDeviceInitialization);
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init->handle, 100u);
    std::vector<std::uint8_t> expected(16, 0);
    expected[10] = 1;
    EXPECT_EQ(init->in, expected);

    // Stopped: the lists show the codes kept, and the next initialisation sends them again.
    stop();
    EXPECT_EQ(list(window.get(), "SO", 3)->currentIndex(), 1);
    list(window.get(), "SI", 1)->setCurrentIndex(2);
    initialise();
    expected[0] = 2;
    EXPECT_EQ(bus.last(ReqDeviceInitialization)->in, expected);
    EXPECT_EQ(bus.count(ReqDeviceInitialization), 2);
}

TEST_F(BitRateWidgets, PanelIsHiddenWhileInitialised)
{
    open();
    choose();
    QWidget* panel = find<QWidget>("Panel9");
    EXPECT_TRUE(panel->isVisible());
    initialise();
    EXPECT_FALSE(panel->isVisible());
    stop();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(child<QLabel>(panel, "StaticText5")->text(), QStringLiteral("Частоты каналов"));
}

} // namespace
} // namespace telvar5::widgets_test
