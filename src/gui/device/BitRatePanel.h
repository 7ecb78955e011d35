#pragma once
// Panel9, the channel bit rates: a framed box with one input list and one
// output list per channel (cbFreqSI1..8, cbFreqSO1..8) and the row labels
// Label2..Label9. The lists only show what the run state holds; the main
// window's change handlers store the user's picks.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <array>

#include "core/RunState.h"

namespace telvar5 {

class BitRatePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 253;
    static constexpr int kHeight = 328;

    explicit BitRatePanel(QWidget* parent = nullptr);

    QComboBox* inputList(int channelIndex) const { return inputLists_.at(static_cast<std::size_t>(channelIndex)); }
    QComboBox* outputList(int channelIndex) const { return outputLists_.at(static_cast<std::size_t>(channelIndex)); }
    QLabel* rowLabel(int channelIndex) const { return rowLabels_.at(static_cast<std::size_t>(channelIndex)); }

    // Selects each list's item by freqCodes and shows the channels the module
    // has; the row labels follow the input side. No change signal is emitted.
    void showState(const FreqCodes& codes, const std::array<bool, 8>& inputShown,
                   const std::array<bool, 8>& outputShown);

private:
    std::array<QComboBox*, kChannels> inputLists_{};
    std::array<QComboBox*, kChannels> outputLists_{};
    std::array<QLabel*, kChannels> rowLabels_{};
};

} // namespace telvar5
