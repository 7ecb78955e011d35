#pragma once
// The top left corner of a grid with a fixed first column: the title of
// column 0, drawn like the other titles, over the view's own corner button.
#include <QWidget>

class QTableView;

namespace telvar5 {

class GridCornerTitle : public QWidget {
    Q_OBJECT
public:
    explicit GridCornerTitle(QTableView* grid);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTableView* grid_;
};

} // namespace telvar5
