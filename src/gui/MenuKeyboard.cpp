#include "gui/MenuKeyboard.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "gui/MenuBarSelectionStyle.h"

namespace telvar5 {

namespace {

bool isCyrillic(QChar c) { return c.isLetter() && c.script() == QChar::Script_Cyrillic; }

// The position of the caption's mark, or -1 ("&&" is a plain ampersand).
qsizetype markAt(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return i;
        ++i;
    }
    return -1;
}

// The first free Cyrillic letter of the caption, at a word's start if wanted, or -1.
qsizetype freeLetter(const QString& caption, const QString& taken, bool wordStart)
{
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const bool startsWord = i == 0 || !caption.at(i - 1).isLetterOrNumber();
        if (isCyrillic(caption.at(i)) && (startsWord || !wordStart) && !taken.contains(caption.at(i).toLower()))
            return i;
    }
    return -1;
}

void markMenu(const QList<QAction*>& actions)
{
    QList<QAction*> items;
    QStringList captions;
    for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        items << action;
        captions << action->text();
    }
    const QStringList marked = withMnemonics(captions);
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i]->setText(marked[i]);
    for (QAction* action : items)
        if (action->menu())
            markMenu(action->menu()->actions());
}

// What Alt pressed and let go alone does: the menu bar takes the keyboard with
// its first menu selected, or gives it back when it has it.
void toggleMenuBar(QMenuBar& bar)
{
    QWidget* window = bar.window();
    // A key event of Alt itself reports Alt among its modifiers, as the window system's do.
    QKeyEvent altDown(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &altDown);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &altUp);
}

} // namespace

QStringList withMnemonics(const QStringList& captions)
{
    QString taken;
    for (const QString& caption : captions) {
        const qsizetype at = markAt(caption);
        if (at >= 0)
            taken += caption.at(at + 1).toLower();
    }
    QStringList marked;
    for (const QString& caption : captions) {
        qsizetype at = -1;
        if (markAt(caption) < 0) {
            at = freeLetter(caption, taken, true);
            if (at < 0)
                at = freeLetter(caption, taken, false);
        }
        if (at < 0) {
            marked << caption;
            continue;
        }
        taken += caption.at(at).toLower();
        marked << caption.left(at) + QLatin1Char('&') + caption.mid(at);
    }
    return marked;
}

void setUpMenuKeyboard(QMainWindow& window)
{
    QMenuBar* bar = window.menuBar();
    markMenu(bar->actions());
    MenuBarSelectionStyle::installWhereNeeded(*bar);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    f10->setObjectName(QStringLiteral("MenuBarKey"));
    QObject::connect(f10, &QShortcut::activated, bar, [bar] { toggleMenuBar(*bar); });
}

} // namespace telvar5
