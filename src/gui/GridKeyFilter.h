#pragma once
// Sees every key press that reaches the grid or its cell editor before the
// widget itself takes it, and reports the key's character.
#include <QObject>

namespace telvar5 {

class GridKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void character(char key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace telvar5
