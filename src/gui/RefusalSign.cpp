#include "gui/RefusalSign.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolTip>

namespace telvar5 {

namespace {
// Properties kept on a marked editor: the text that was refused and the tool tip it had before.
constexpr const char* kRefusedText = "telvar5RefusedText";
constexpr const char* kOwnToolTip = "telvar5OwnToolTip";
constexpr const char* kWatched = "telvar5RefusalWatched";
} // namespace

QColor RefusalSign::refusedTextColour() { return QColor(Qt::red); }

void RefusalSign::show(const QString& reason)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    if (auto* editor = qobject_cast<QLineEdit*>(focus))
        mark(*editor, reason);
    QToolTip::showText(focus->mapToGlobal(QPoint(0, focus->height())), reason, focus);
}

void RefusalSign::mark(QLineEdit& editor, const QString& reason)
{
    if (!editor.property(kRefusedText).isValid()) {
        editor.setProperty(kOwnToolTip, editor.toolTip());
        QPalette palette = editor.palette();
        palette.setColor(QPalette::Text, refusedTextColour());
        editor.setPalette(palette);
    }
    // The editor's text as it stands when refused: the sign goes once the text is another one
    // that was not refused (a refusal of the next key marks that text in turn before the check).
    editor.setProperty(kRefusedText, editor.text());
    editor.setToolTip(reason);
    if (!editor.property(kWatched).toBool()) {
        editor.setProperty(kWatched, true);
        QLineEdit* watched = &editor;
        connect(watched, &QLineEdit::textChanged, this, [watched](const QString& text) {
            const QVariant refused = watched->property(kRefusedText);
            if (refused.isValid() && refused.toString() != text)
                unmark(*watched);
        });
    }
}

void RefusalSign::unmark(QLineEdit& editor)
{
    editor.setToolTip(editor.property(kOwnToolTip).toString());
    editor.setProperty(kRefusedText, QVariant());
    editor.setPalette(QPalette());
}

} // namespace telvar5
