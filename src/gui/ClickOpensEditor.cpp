#include "gui/ClickOpensEditor.h"
#include "gui/QtCompat.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>

namespace telvar5 {

ClickOpensEditor* ClickOpensEditor::install(QAbstractItemView* view) { return new ClickOpensEditor(view); }

ClickOpensEditor::ClickOpensEditor(QAbstractItemView* view) : QObject(view), view_(view)
{
    wait_.setSingleShot(true);
    connect(&wait_, &QTimer::timeout, this, &ClickOpensEditor::openEditor);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
}

bool ClickOpensEditor::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // The key goes on to the view, whose AnyKeyPressed trigger opens the editor with it.
        wait_.stop();
        break;
    case QEvent::MouseButtonPress:
        if (watched == view_->viewport()) {
            // Judged before the view moves the current cell to the press.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex at = view_->indexAt(qtcompat::mousePoint(*mouse));
            const bool selected = view_->selectionModel() && view_->selectionModel()->isSelected(at);
            pressedSelected_ = mouse->button() == Qt::LeftButton && at.isValid() && at == view_->currentIndex()
                    && selected ? QPersistentModelIndex(at) : QPersistentModelIndex();
            wait_.stop();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == view_->viewport()) {
            const QModelIndex at = view_->indexAt(qtcompat::mousePoint(*static_cast<QMouseEvent*>(event)));
            if (pressedSelected_.isValid() && at == pressedSelected_ && !view_->indexWidget(at))
                wait_.start(QApplication::doubleClickInterval());
            pressedSelected_ = QPersistentModelIndex();
        }
        break;
    case QEvent::MouseButtonDblClick:
        wait_.stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ClickOpensEditor::openEditor()
{
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || view_->editTriggers() == QAbstractItemView::NoEditTriggers
        || view_->indexWidget(current))
        return;
    view_->edit(current);
}

} // namespace telvar5
