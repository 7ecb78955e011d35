#pragma once
// Escape closes a tool window, as it closes a dialog. Only an Escape no child
// took reaches the window: one that ends an edit in a grid stays there.
#include <QObject>

class QWidget;

namespace telvar5 {

class EscapeClosesWindow : public QObject {
    Q_OBJECT
public:
    // Installs itself on the window, which owns it.
    static void install(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EscapeClosesWindow(QWidget* window);
};

} // namespace telvar5
