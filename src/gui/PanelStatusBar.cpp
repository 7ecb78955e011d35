#include "gui/PanelStatusBar.h"

#include <QHBoxLayout>

#include "gui/UiFonts.h"

namespace telvar5 {

PanelStatusBar::PanelStatusBar(const QString& name, int width0, int width1, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
    setFont(ui::sansFont(ui::kSmallFontPx));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 1, 0, 1);
    layout->setSpacing(2);
    const std::array<int, 2> widths{width0, width1};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(name + QStringLiteral("Panel") + QString::number(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setFixedWidth(widths[i]);
        // Status lines are cut at the panel's edge, never wrapped.
        label->setWordWrap(false);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumHeight(19);
        layout->addWidget(label);
        panels_[i] = label;
    }
    layout->addStretch(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString PanelStatusBar::panelText(int panel) const
{
    return panel >= 0 && panel < 2 ? panels_[static_cast<std::size_t>(panel)]->text() : QString();
}

void PanelStatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= 2)
        return;
    QLabel* label = panels_[static_cast<std::size_t>(panel)];
    if (label->text() == text)
        return;
    label->setText(text);
    // The widths were made for the fonts the program was first drawn with: a line that does not
    // fit in the font in use ("12,5КГц+/-1%" lost its end) widens its panel, which never narrows.
    const int needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->frameWidth() + 2 * kTextRoom;
    if (needed > label->width())
        label->setFixedWidth(needed);
}

QLabel* PanelStatusBar::panel(int panel) const
{
    return panel >= 0 && panel < 2 ? panels_[static_cast<std::size_t>(panel)] : nullptr;
}

} // namespace telvar5
