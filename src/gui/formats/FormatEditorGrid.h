#pragma once
// A grid of the format editors: one title row, no fixed column, 24-pixel rows,
// "Courier New" 11 px, grid lines, columns the user may widen, no selection
// highlight. Cells are named in grid coordinates: row 0 is the title row, row r
// shows record r - 1; (-1, -1) is no cell. An editable grid types in place
// through an editor that opens empty, and reports every typed character and
// every change of the editor's text. Every mouse press and double click is
// reported, on the title row too.
#include <QTableView>
#include <initializer_list>

namespace telvar5 {

class CellEditDelegate;
class GridKeyFilter;
class GridTitleHeader;

class FormatEditorGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 24;
    static constexpr int kFontPx = 11;
    // Room beside a title's text: its margins and the grid line.
    static constexpr int kTitleRoom = 6;

    FormatEditorGrid(const QString& objectName, bool editable, QWidget* parent = nullptr);

    // At least these widths, wider where the model's title needs it (set the model first).
    void setColumnWidths(std::initializer_list<int> widths);
    // The width that shows every column beside a vertical scroll bar.
    int widthForColumns() const;
    bool editable() const { return editTriggers() != NoEditTriggers; }
    GridTitleHeader* titles() const { return titles_; }

    // The current cell's row in grid coordinates; row 1 while no cell is current.
    int currentGridRow() const;
    // A cell's rectangle in grid coordinates: the origin is the top left corner
    // of the title row, inside the frame.
    QRect cellRect(int column, int row) const;
    // The cell editor while one is open; endEditing closes it.
    QWidget* cellEditor() const;
    void endEditing();

signals:
    void keyPressed(char key);
    void editTextChanged(int column, int row, const QString& text);
    void mousePressed(int column, int row);
    void cellDoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Typing never jumps to a row whose text begins with what was typed.
    void keyboardSearch(const QString&) override {}

private:
    GridTitleHeader* titles_ = nullptr;
    GridKeyFilter* keys_ = nullptr;
    CellEditDelegate* delegate_ = nullptr;
};

} // namespace telvar5
