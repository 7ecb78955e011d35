#include "gui/analysis/WordLogFilterBar.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <cmath>
#include <limits>

namespace telvar5 {

namespace {

std::uint32_t checkedBits(const std::array<QAbstractButton*, 8>& buttons, int count)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < count; ++i)
        if (buttons[static_cast<std::size_t>(i)]->isChecked())
            bits |= 1u << i;
    return bits;
}

QLabel* caption(const char* text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

WordLogFilterBar::WordLogFilterBar(QWidget* parent) : QWidget(parent)
{
    // A pressed toggle must read as "shown" in any style: the selection's colours mark it.
    setStyleSheet(QStringLiteral("QToolButton { padding: 1px 5px; border: 1px solid palette(mid); border-radius: 2px; }"
                                 "QToolButton:checked { background: palette(highlight); color: palette(highlighted-text); }"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    QWidget* channels = toggles("Channel", 8, 1, channels_);
    QWidget* sdi = toggles("Sdi", 4, 0, sdi_);
    QWidget* ssm = toggles("Ssm", 4, 0, ssm_);
    parity_ = new QComboBox(this);
    parity_->setObjectName(QStringLiteral("cbParity"));
    parity_->addItems({QStringLiteral("любая"), QStringLiteral("нечёт"), QStringLiteral("чёт")});
    parity_->setToolTip(QStringLiteral("ARINC 429 передает нечётную чётность; «чёт» — искаженные слова"));

    auto* line1 = new QHBoxLayout;
    line1->addWidget(caption("Каналы:", channels_[0], this));
    line1->addWidget(channels);
    line1->addSpacing(8);
    line1->addWidget(caption("SDI:", sdi_[0], this));
    line1->addWidget(sdi);
    line1->addSpacing(8);
    line1->addWidget(caption("SSM:", ssm_[0], this));
    line1->addWidget(ssm);
    line1->addSpacing(8);
    line1->addWidget(caption("Чётность:", parity_, this));
    line1->addWidget(parity_);
    line1->addStretch(1);
    grid->addLayout(line1, 0, 0);

    labels_ = new QLineEdit(this);
    labels_->setObjectName(QStringLiteral("edLabels"));
    labels_->setPlaceholderText(QStringLiteral("все; например: 203, 31"));
    labels_->setToolTip(QStringLiteral("Восьмеричные метки или их начала через запятую: «31» — метки 310…317"));
    from_ = new QLineEdit(this);
    from_->setObjectName(QStringLiteral("edFrom"));
    to_ = new QLineEdit(this);
    to_->setObjectName(QStringLiteral("edTo"));
    for (QLineEdit* edit : {from_, to_}) {
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("99999,999")) + 16);
        edit->setToolTip(QStringLiteral("Секунды от начала приема; пусто — без границы"));
    }
    auto* line2 = new QHBoxLayout;
    line2->addWidget(caption("Метки:", labels_, this));
    line2->addWidget(labels_, 1);
    line2->addSpacing(8);
    line2->addWidget(caption("Время, с: от", from_, this));
    line2->addWidget(from_);
    line2->addWidget(caption("до", to_, this));
    line2->addWidget(to_);
    grid->addLayout(line2, 1, 0);

    connect(parity_, qOverload<int>(&QComboBox::currentIndexChanged), this, &WordLogFilterBar::filterChanged);
    connect(labels_, &QLineEdit::textChanged, this, &WordLogFilterBar::filterChanged);
    connect(from_, &QLineEdit::editingFinished, this, &WordLogFilterBar::filterChanged);
    connect(to_, &QLineEdit::editingFinished, this, &WordLogFilterBar::filterChanged);
}

QWidget* WordLogFilterBar::toggles(const char* name, int count, int first, std::array<QAbstractButton*, 8>& buttons)
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (int i = 0; i < count; ++i) {
        auto* button = new QToolButton(box);
        button->setObjectName(QStringLiteral("tb%1%2").arg(QLatin1String(name)).arg(first + i));
        button->setText(QString::number(first + i));
        button->setCheckable(true);
        button->setChecked(true);
        button->setAutoRaise(false);
        button->setToolTip(QStringLiteral("Нажата — слова с этим значением показаны"));
        connect(button, &QToolButton::toggled, this, &WordLogFilterBar::filterChanged);
        buttons[static_cast<std::size_t>(i)] = button;
        row->addWidget(button);
    }
    return box;
}

bool WordLogFilterBar::readSeconds(QLineEdit* edit, std::int64_t& us, std::int64_t open) const
{
    QString text = edit->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    us = open;
    bool ok = text.isEmpty();
    if (!ok) {
        const double seconds = text.toDouble(&ok); // the C locale's reading, whatever the system's
        ok = ok && std::isfinite(seconds) && std::fabs(seconds) < 1e12;
        if (ok)
            us = std::llround(seconds * 1e6);
    }
    // A text that is no time is shown red and bounds nothing, rather than hiding every row.
    edit->setStyleSheet(ok ? QString() : QStringLiteral("QLineEdit { color: #C00000; }"));
    return ok;
}

WordLogFilter WordLogFilterBar::filter() const
{
    WordLogFilter filter;
    filter.setChannels(checkedBits(channels_, 8));
    filter.setSdi(checkedBits(sdi_, 4));
    filter.setSsm(checkedBits(ssm_, 4));
    filter.setParity(static_cast<ParityFilter>(parity_->currentIndex()));
    filter.setLabels(labels_->text().toStdString());
    std::int64_t fromUs = 0;
    std::int64_t toUs = 0;
    readSeconds(from_, fromUs, std::numeric_limits<std::int64_t>::min());
    readSeconds(to_, toUs, std::numeric_limits<std::int64_t>::max());
    filter.setTimeRange(fromUs, toUs);
    return filter;
}

} // namespace telvar5
