#include "gui/device/BitRatePanel.h"

#include <QSignalBlocker>

#include "gui/ReadableColour.h"
#include "gui/UiFonts.h"
#include "core/device/BitRates.h"

namespace telvar5 {

namespace {

QComboBox* makeList(QWidget* parent, const QString& name, const std::array<std::string_view, kFreqCodeCount>& items,
                    const QFont& font)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->setFont(font);
    for (std::string_view item : items)
        list->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    list->setCurrentIndex(0);
    return list;
}

void selectCode(QComboBox* list, std::uint8_t code)
{
    // A code outside the list (never stored by the lists) shows no item rather than a wrong one.
    list->setCurrentIndex(code < list->count() ? code : -1);
}

} // namespace

BitRatePanel::BitRatePanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel9"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    setFixedSize(kWidth, kHeight);

    const QFont small = ui::sansFont(ui::kSmallFontPx);

    auto* title = new QLabel(QStringLiteral("Частоты каналов"), this);
    title->setObjectName(QStringLiteral("StaticText5"));
    title->setFont(ui::titleFont());
    title->setAlignment(Qt::AlignCenter);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText,
                          readableOn(palette().color(QPalette::Window), palette().color(QPalette::Highlight)));
    title->setPalette(titlePalette);
    title->setGeometry(4, 8, kWidth - 8, 28);

    auto* heading = new QLabel(QStringLiteral("входные ПК        выходные ПК"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setFont(small);
    constexpr int listWidth = 96;
    constexpr int inputX = 52;
    constexpr int outputX = inputX + listWidth + 4;
    heading->setGeometry(inputX + 8, 48, kWidth - inputX - 10, 18);

    for (int k = 0; k < kChannels; ++k) {
        const int y = 72 + k * 30;
        const auto i = static_cast<std::size_t>(k);
        const QString n = QString::number(k + 1);
        rowLabels_[i] = new QLabel(QStringLiteral("канал ") + n, this);
        rowLabels_[i]->setObjectName(QStringLiteral("Label") + QString::number(k + 2));
        rowLabels_[i]->setFont(small);
        rowLabels_[i]->setGeometry(6, y, inputX - 7, 22);
        inputLists_[i] = makeList(this, QStringLiteral("cbFreqSI") + n, kInputFreqItems, small);
        inputLists_[i]->setGeometry(inputX, y, listWidth, 22);
        outputLists_[i] = makeList(this, QStringLiteral("cbFreqSO") + n, kOutputFreqItems, small);
        outputLists_[i]->setGeometry(outputX, y, listWidth, 22);
    }
}

void BitRatePanel::showState(const FreqCodes& codes, const std::array<bool, 8>& inputShown,
                             const std::array<bool, 8>& outputShown)
{
    for (int k = 0; k < kChannels; ++k) {
        const auto i = static_cast<std::size_t>(k);
        {
            const QSignalBlocker blockInput(inputLists_[i]);
            const QSignalBlocker blockOutput(outputLists_[i]);
            selectCode(inputLists_[i], codes[static_cast<std::size_t>(inputCodeByte(k))]);
            selectCode(outputLists_[i], codes[static_cast<std::size_t>(outputCodeByte(k))]);
        }
        inputLists_[i]->setVisible(inputShown[i]);
        rowLabels_[i]->setVisible(inputShown[i]);
        outputLists_[i]->setVisible(outputShown[i]);
    }
}

} // namespace telvar5
