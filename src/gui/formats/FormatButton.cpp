#include "gui/formats/FormatButton.h"

#include "gui/UiFonts.h"

namespace telvar5 {

QPushButton* makeFormatButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setDefault(false);
    if (caption == QLatin1String("+") || caption == QLatin1String("-")) {
        QFont big = ui::sansFont(27);
        big.setBold(true);
        button->setFont(big);
    }
    return button;
}

} // namespace telvar5
