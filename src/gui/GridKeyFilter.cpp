#include "gui/GridKeyFilter.h"

#include <QKeyEvent>

#include "gui/KeyCharacter.h"

namespace telvar5 {

bool GridKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (const auto key = keyCharacter(*static_cast<QKeyEvent*>(event)))
            emit character(*key);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace telvar5
