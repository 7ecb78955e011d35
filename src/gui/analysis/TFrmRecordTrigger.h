#pragma once
// "Запись по условию": the start condition, the pre-trigger and the stop
// condition of a recording, typed as the command line takes them. "Ждать
// условия" closes it only when what is typed reads; otherwise it says what is wrong.
#include <QDialog>
#include <optional>

#include "core/analysis/CaptureCommands.h"

class QLabel;
class QLineEdit;

namespace telvar5 {

class TFrmRecordTrigger : public QDialog {
    Q_OBJECT
public:
    explicit TFrmRecordTrigger(QWidget* parent = nullptr);

    // What was typed, after the dialog was accepted.
    const RecordingTriggers& triggers() const { return triggers_; }

    QLineEdit* startEdit() const { return startEdit_; }
    QLineEdit* preEdit() const { return preEdit_; }
    QLineEdit* stopEdit() const { return stopEdit_; }
    QLabel* problemLine() const { return problem_; }

    void accept() override;

private:
    QLineEdit* startEdit_ = nullptr;
    QLineEdit* preEdit_ = nullptr;
    QLineEdit* stopEdit_ = nullptr;
    QLabel* problem_ = nullptr;
    RecordingTriggers triggers_;
};

} // namespace telvar5
