#pragma once
// The menus by keyboard, as a Windows program has them: every menu caption
// carries a mnemonic (Alt with the underlined letter opens the menu, the
// letter alone picks the item in an open menu), and F10, like Alt pressed
// alone, selects the first menu of the menu bar; the arrows, Enter and Escape
// go on from there. The captions keep their words: only the mark goes in.
#include <QStringList>

class QMainWindow;

namespace telvar5 {

// The captions of one menu, in order, with a mnemonic each where a letter is
// free: a caption that has one keeps it (and is served first); the others take
// the first free Cyrillic letter that starts a word, else the first free
// Cyrillic letter of the caption, else none. Cyrillic only: the captions are
// Russian, and the key of a Latin letter types another letter in the Russian
// layout the bench engineer types in.
QStringList withMnemonics(const QStringList& captions);

// Marks every caption of the window's menu bar and of its menus, and lets F10
// select the menu bar. Call once every menu is in the bar.
void setUpMenuKeyboard(QMainWindow& window);

} // namespace telvar5
