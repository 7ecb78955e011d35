#pragma once
// A click on the grid's current, selected cell opens its editor once the
// double-click interval has passed, as Qt's SelectedClicked trigger does, so
// that a double click can still mean something else. Qt's own trigger drops
// every key typed while it waits; here a key typed in that interval cancels
// the wait and opens the editor with that key, and every later key follows
// it in order. Grids use it in place of SelectedClicked.
#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>

class QAbstractItemView;

namespace telvar5 {

class ClickOpensEditor : public QObject {
    Q_OBJECT
public:
    // Watches the view and its viewport; the view owns it.
    static ClickOpensEditor* install(QAbstractItemView* view);

    bool waiting() const { return wait_.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ClickOpensEditor(QAbstractItemView* view);
    void openEditor();

    QAbstractItemView* view_;
    QTimer wait_;
    QPersistentModelIndex pressedSelected_; // the press fell on this current, selected cell
};

} // namespace telvar5
