#include "gui/DataPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "core/RunState.h"
#include "gui/ReadableColour.h"
#include "gui/UiFonts.h"
#include "gui/input/InputBufferView.h"
#include "gui/output/OutputArrayView.h"

namespace telvar5 {

namespace {

constexpr int kShortTitle = 26; // before the first initialisation, when the panel is not yet shown

QTabBar* makeTabs(QWidget* parent, const QString& name, const QString& caption)
{
    auto* tabs = new QTabBar(parent);
    tabs->setObjectName(name);
    tabs->setFont(ui::sansFont(ui::kSmallFontPx));
    tabs->setExpanding(false);
    tabs->setDrawBase(true);
    tabs->setUsesScrollButtons(true);
    for (int n = 1; n <= kChannels; ++n)
        tabs->addTab(caption + QString::number(n));
    return tabs;
}

QLabel* makeTitle(QWidget* parent, const QString& name, const QColor& colour)
{
    auto* title = new QLabel(parent);
    title->setObjectName(name);
    title->setFont(ui::titleFont());
    title->setAlignment(Qt::AlignCenter);
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, readableOn(palette.color(QPalette::Window), colour));
    title->setPalette(palette);
    title->setFixedHeight(kShortTitle);
    // A narrow side breaks its title into lines rather than push the splitter;
    // the band grows to hold them (DataPanel::fitTitles).
    title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    title->setWordWrap(true);
    return title;
}

// The top-row choosers ComboBox1 and ComboBox2: "0" .. "255", no typing.
QComboBox* makeTopRowChooser(QWidget* parent, const QString& name, const QString& hint)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->setFont(ui::fixedFont(ui::kGridFontPx));
    list->setToolTip(hint);
    list->setStatusTip(hint);
    for (int i = 0; i < 256; ++i)
        list->addItem(QString::number(i));
    list->setCurrentIndex(0);
    list->setFixedSize(65, 24);
    QPalette palette = list->palette();
    const QColor face = palette.color(QPalette::Light);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Base, face);
    // The face is the scheme's light shade; the text must stand out on it (white on white in a dark scheme).
    palette.setColor(QPalette::ButtonText, readableOn(face, palette.color(QPalette::ButtonText)));
    palette.setColor(QPalette::Text, readableOn(face, palette.color(QPalette::Text)));
    list->setPalette(palette);
    return list;
}

} // namespace

DataPanel::DataPanel(QWidget* parent) : QWidget(parent), titleHeight_(kShortTitle)
{
    setObjectName(QStringLiteral("Panel5"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setHandleWidth(kSplitterHandle);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(buildInputSide());
    splitter_->addWidget(buildOutputSide());
    splitter_->setSizes({504, 300});
    layout->addWidget(splitter_);
}

QWidget* DataPanel::buildInputSide()
{
    Panel12_ = new QWidget(this);
    Panel12_->setObjectName(QStringLiteral("Panel12"));
    auto* layout = new QGridLayout(Panel12_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    SI_ = makeTabs(Panel12_, QStringLiteral("SI"), QStringLiteral("Вх.канал "));
    StaticText3_ = makeTitle(Panel12_, QStringLiteral("StaticText3"), palette().color(QPalette::Link));
    DrawGrid2_ = new InputBufferView(Panel12_);
    ComboBox1_ = makeTopRowChooser(Panel12_, QStringLiteral("ComboBox1"),
                                   QStringLiteral("задать номер ячейки, отображаемой в верхней строке"));

    layout->addWidget(SI_, 0, 0);
    layout->addWidget(StaticText3_, 1, 0);
    // In front of the lower left of the title band, right above the grid's first column.
    layout->addWidget(ComboBox1_, 1, 0, Qt::AlignLeft | Qt::AlignBottom);
    ComboBox1_->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DrawGrid2_, 2, 0);
    layout->setRowStretch(2, 1);
    ComboBox1_->raise();
    return Panel12_;
}

QWidget* DataPanel::buildOutputSide()
{
    auto* side = new QWidget(this);
    Panel13_ = side;
    side->setObjectName(QStringLiteral("Panel13"));
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    SO_ = makeTabs(side, QStringLiteral("SO"), QStringLiteral("Вых.канал "));
    StaticText4_ = makeTitle(side, QStringLiteral("StaticText4"), QColor(0, 128, 0));

    auto* bar = new QWidget(side);
    bar->setObjectName(QStringLiteral("Panel4"));
    bar->setFixedHeight(42);
    bar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // ComboBox2 16 pixels down at the left edge, above the grid's first column;
    // the array size list beside it under its label.
    ComboBox2_ = makeTopRowChooser(bar, QStringLiteral("ComboBox2"),
                                   QStringLiteral("задать индекс параметра, отображаемого в верхней строке"));
    ComboBox2_->move(0, 16);
    auto* sizeLabel = new QLabel(QStringLiteral("Размер массива , слов ПК"), bar);
    sizeLabel->setObjectName(QStringLiteral("Label10"));
    sizeLabel->setFont(ui::sansFont(ui::kSmallFontPx));
    cbSOArrayDim_ = new QComboBox(bar);
    cbSOArrayDim_->setObjectName(QStringLiteral("cbSOArrayDim"));
    cbSOArrayDim_->setEditable(false);
    for (int size = 1; size <= 256; ++size)
        cbSOArrayDim_->addItem(QString::number(size));
    cbSOArrayDim_->setCurrentIndex(255);
    cbSOArrayDim_->setGeometry(76, 16, 64, 24);
    // How long the array takes on the bus, in two short lines beside the list
    // to fit the narrow output side; each size in the list tells its own time as a hint.
    LabelSOTime_ = new QLabel(bar);
    LabelSOTime_->setObjectName(QStringLiteral("LabelSOTime"));
    LabelSOTime_->setFont(ui::sansFont(ui::kSmallFontPx));
    // A red star before the time while the shown array differs from its last
    // save or restore: the array lives only until the module is chosen again.
    LabelSOChanged_ = new QLabel(QStringLiteral("*"), bar);
    LabelSOChanged_->setObjectName(QStringLiteral("LabelSOChanged"));
    LabelSOChanged_->setFont(ui::sansFont(ui::kSmallFontPx));
    LabelSOChanged_->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    LabelSOChanged_->setToolTip(QStringLiteral("массив изменён и не сохранён в файле; при новом выборе "
                                               "устройства массивы обнуляются, при выходе не сохраняются"));
    LabelSOChanged_->setGeometry(143, 14, 10, 14);
    LabelSOChanged_->hide();
    layOutArrayBar(*bar);

    DrawGrid1_ = new OutputArrayView(side);

    layout->addWidget(SO_);
    layout->addWidget(StaticText4_);
    layout->addWidget(bar);
    layout->addWidget(DrawGrid1_, 1);
    for (QLabel* title : {StaticText3_, StaticText4_})
        title->installEventFilter(this);
    return side;
}

void DataPanel::layOutArrayBar(QWidget& bar)
{
    // The places are those of the design; the sizes follow the texts. The time's widest text is the longest array's.
    QLabel* sizeLabel = bar.findChild<QLabel*>(QStringLiteral("Label10"));
    sizeLabel->setGeometry(QRect(QPoint(76, 0), sizeLabel->sizeHint().expandedTo(QSize(0, 16))));
    const QSize time = LabelSOTime_->fontMetrics().size(0, QStringLiteral("999.9 мс\n(256 слов ПК)"));
    LabelSOTime_->setGeometry(QRect(QPoint(154, 14), time + QSize(2, 2)));
    bar.setMinimumWidth(std::max(sizeLabel->geometry().right(), LabelSOTime_->geometry().right()) + 1);
    bar.setFixedHeight(std::max(42, LabelSOTime_->geometry().bottom() + 1));
}

bool DataPanel::eventFilter(QObject* watched, QEvent* event)
{
    // A title's width follows the splitter and the window: its lines may change.
    if (event->type() == QEvent::Resize
        && static_cast<QResizeEvent*>(event)->size().width() != static_cast<QResizeEvent*>(event)->oldSize().width())
        fitTitles();
    return QWidget::eventFilter(watched, event);
}

void DataPanel::fitTitles()
{
    int height = titleHeight_;
    for (const QLabel* title : {StaticText3_, StaticText4_}) {
        const QRect lines = title->fontMetrics().boundingRect(QRect(0, 0, title->contentsRect().width(), kTallTitle * 10),
                                                              Qt::AlignCenter | Qt::TextWordWrap, title->text());
        height = std::max(height, lines.height() + title->height() - title->contentsRect().height());
    }
    for (QLabel* title : {StaticText3_, StaticText4_})
        if (title->height() != height)
            title->setFixedHeight(height);
}

void DataPanel::showState(const ScreenState& screen, int inputIndex, int outputIndex, int arraySize)
{
    const QSignalBlocker blockSI(SI_);
    const QSignalBlocker blockSO(SO_);
    const QSignalBlocker blockSize(cbSOArrayDim_);
    // Only real changes: this runs on every refresh tick, and each change lays the tabs out anew.
    for (int k = 0; k < kChannels; ++k) {
        const bool input = screen.siChannelShown[static_cast<std::size_t>(k)];
        const bool output = screen.soChannelShown[static_cast<std::size_t>(k)];
        if (SI_->isTabVisible(k) != input)
            SI_->setTabVisible(k, input);
        if (SO_->isTabVisible(k) != output)
            SO_->setTabVisible(k, output);
    }
    if (SI_->currentIndex() != inputIndex)
        SI_->setCurrentIndex(inputIndex);
    if (SO_->currentIndex() != outputIndex)
        SO_->setCurrentIndex(outputIndex);

    titleHeight_ = screen.titlesTall ? kTallTitle : kShortTitle;
    StaticText3_->setText(QString::fromStdString(screen.inputTitle));
    StaticText4_->setText(QString::fromStdString(screen.outputTitle));
    fitTitles();

    if (arraySize >= 1 && arraySize <= cbSOArrayDim_->count())
        cbSOArrayDim_->setCurrentIndex(arraySize - 1);
}

void DataPanel::setInputWidth(int panelWidth, int inputWidth)
{
    const int outputWidth = std::max(panelWidth - inputWidth - splitter_->handleWidth(), Panel13_->minimumSizeHint().width());
    splitter_->setSizes({std::max(0, panelWidth - outputWidth - splitter_->handleWidth()), outputWidth});
}

} // namespace telvar5
