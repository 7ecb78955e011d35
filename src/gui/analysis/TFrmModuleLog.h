#pragma once
// "Журнал модуля": a tool window with what happened to the module, one
// time-stamped line an event (choices, initialisations, stops, the first
// failure of a run of failures, short replies, the return to health), the
// last 10 000 kept; "Сохранить…" writes them to a text file.
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace telvar5 {

class Monitor;

class TFrmModuleLog : public QWidget {
    Q_OBJECT
public:
    explicit TFrmModuleLog(Monitor& monitor, QWidget* parent = nullptr);

    // The main window calls this after every refresh tick and command.
    void refresh();

    QPlainTextEdit* lines() const { return lines_; }
    QPushButton* saveButton() const { return save_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void saveClick();

    Monitor& monitor_;
    QPlainTextEdit* lines_ = nullptr;
    QPushButton* save_ = nullptr;
    std::uint64_t shown_ = 0; // events already on the screen
};

} // namespace telvar5
