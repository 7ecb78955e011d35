#pragma once
// A status bar of two fixed-width panels (XPStatusBar1, XPStatusBar2). The
// panels are labels named <bar>Panel0 and <bar>Panel1. A panel widens to a
// line longer than it, so no line is cut.
#include <QFrame>
#include <QLabel>
#include <array>

namespace telvar5 {

class PanelStatusBar : public QFrame {
    Q_OBJECT
public:
    PanelStatusBar(const QString& name, int width0, int width1, QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    QLabel* panel(int panel) const;

private:
    static constexpr int kTextRoom = 3; // each side of a line, inside the frame
    std::array<QLabel*, 2> panels_{};
};

} // namespace telvar5
