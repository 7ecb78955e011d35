#pragma once
// The visible side of a refused key, for benches where the beep goes unheard:
// the cell editor that has the keyboard focus shows its text in red, with the
// reason as its tool tip, until its text next changes without a refusal; the
// reason also shows as a tip just under the focused widget for a few seconds.
// A tip rather than the status bar: the format editors are dialogs without
// one, and the main window's status bar panes must not be covered. Nothing
// stored and no editor text is touched.
#include <QObject>
#include <QString>

class QLineEdit;

namespace telvar5 {

class RefusalSign : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void show(const QString& reason);

    // The colour of a refused editor text.
    static QColor refusedTextColour();

private:
    void mark(QLineEdit& editor, const QString& reason);
    static void unmark(QLineEdit& editor);
};

} // namespace telvar5
