#include "gui/KeyCharacter.h"

#include <QKeyEvent>

#include "gui/Cp1251Text.h"

namespace telvar5 {

std::optional<char> keyCharacter(const QKeyEvent& event)
{
    const bool control = event.modifiers() & Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Backspace:
        return '\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return '\r';
    case Qt::Key_Delete:
        return std::nullopt;
    case Qt::Key_C:
        if (control)
            return '\x03';
        break;
    case Qt::Key_V:
        if (control)
            return '\x16';
        break;
    default:
        break;
    }
    const QString text = event.text();
    if (text.isEmpty() || text.front() == QChar(0x7F))
        return std::nullopt;
    // One byte per character: the first byte is the first character's.
    return cp1251FromText(text).front();
}

} // namespace telvar5
