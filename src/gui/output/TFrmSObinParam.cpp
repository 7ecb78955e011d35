#include "gui/output/TFrmSObinParam.h"

#include <QFontMetricsF>
#include <QShowEvent>

#include "gui/UiFonts.h"

namespace telvar5 {

namespace {

// Left edges of boxes 2..32 inside Panel1; box 1 (bit 32) stands outside it.
constexpr std::array<int, 31> kBoxLeft{17,  34,  52,  69,  87,  104, 122, 140, 157, 175, 192,
                                       210, 228, 245, 263, 280, 298, 316, 333, 351, 368, 386,
                                       404, 448, 465, 482, 500, 518, 535, 553, 571};
constexpr int kBoxSize = 17;
constexpr int kBoxRowTop = 28;

// The bit numbers over the boxes are spaced with blanks for characters 7
// pixels wide, every second box.
QFont bitNumberFont()
{
    QFont font = ui::fixedFont(12);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    font.setLetterSpacing(QFont::AbsoluteSpacing, 7.0 - advance);
    return font;
}

} // namespace

TFrmSObinParam::TFrmSObinParam(WordBitEditor& editor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("FrmSObinParam"));
    // FormShow replaces it with the word's index on every showing.
    setWindowTitle(QStringLiteral("Задание битов выходного параметра"));
    setModal(true);
    // The design size 673 x 160 counts the frame and the caption.
    setFixedSize(665, 126);
    setFont(ui::sansFont(12));

    const QFont numbers = bitNumberFont();
    addLabel(this, "Label2", QStringLiteral("32"), 18, 24, numbers);
    Panel1_ = new QFrame(this);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->setFrameShape(QFrame::Box);
    Panel1_->setFrameShadow(QFrame::Plain);
    Panel1_->setGeometry(48, 16, 601, 73);
    addLabel(Panel1_, "Label1",
             QStringLiteral("31   29   27   25   23   21   19   17   15   13   11    9       7    5    3    1"), 22, 8,
             numbers);
    addLabel(Panel1_, "Label4", QStringLiteral("Код Параметра"), 134, 47, font());
    addLabel(Panel1_, "Label3", QStringLiteral("Адрес Параметра"), 470, 48, font());

    for (int box = 1; box <= WordBitEditor::kBoxes; ++box) {
        QWidget* owner = box == 1 ? static_cast<QWidget*>(this) : Panel1_;
        auto* check = new QCheckBox(owner);
        check->setObjectName(QStringLiteral("CheckBox%1").arg(box));
        if (box == 1)
            check->setGeometry(16, 44, kBoxSize, kBoxSize);
        else
            check->setGeometry(kBoxLeft[static_cast<std::size_t>(box - 2)], kBoxRowTop, kBoxSize, kBoxSize);
        // The tick changes only the copy, whoever changed it.
        connect(check, &QCheckBox::toggled, this, [this, box](bool ticked) { editor_.CheckBoxClick(box, ticked); });
        boxes_[static_cast<std::size_t>(box - 1)] = check;
    }

    Button1_ = new QPushButton(QStringLiteral("Применить"), this);
    Button1_->setObjectName(QStringLiteral("Button1"));
    Button1_->setGeometry(416, 96, 75, 25);
    Button2_ = new QPushButton(QStringLiteral("Отмена"), this);
    Button2_->setObjectName(QStringLiteral("Button2"));
    Button2_->setGeometry(512, 96, 75, 25);
    // Only a click (or Space) on "Применить" applies: no button takes Enter.
    Button1_->setAutoDefault(false);
    Button2_->setAutoDefault(false);
    connect(Button1_, &QPushButton::clicked, this, &TFrmSObinParam::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TFrmSObinParam::Button2Click);
}

QLabel* TFrmSObinParam::addLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                                 const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QCheckBox* TFrmSObinParam::CheckBox(int box) const
{
    return box >= 1 && box <= WordBitEditor::kBoxes ? boxes_[static_cast<std::size_t>(box - 1)] : nullptr;
}

void TFrmSObinParam::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmSObinParam::FormShow()
{
    editor_.FormShow();
    setWindowTitle(QString::fromStdString(editor_.caption()));
    for (int box = WordBitEditor::kBoxes; box >= 1; --box)
        boxes_[static_cast<std::size_t>(box - 1)]->setChecked(editor_.boxTicked(box));
}

void TFrmSObinParam::Button1Click()
{
    editor_.Button1Click();
    accept();
}

void TFrmSObinParam::Button2Click() { reject(); }

} // namespace telvar5
