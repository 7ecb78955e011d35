#pragma once
// "Запись" at the right end of the menu bar, beside the module's health: while
// a recording runs, its file, the words written and the size, refreshed every
// tick (or that it waits for its condition); after a recording stops or a CSV export ends, the line that tells how
// it ended, for kReportMs, with the same text as its tooltip. Nothing otherwise.
#include <QLabel>
#include <QTimer>

namespace telvar5 {

class CaptureCommands;

class RecordingIndicator : public QLabel {
    Q_OBJECT
public:
    static constexpr int kReportMs = 20000;

    explicit RecordingIndicator(QWidget* parent = nullptr);
    // After every tick and capture command.
    void showCapture(const CaptureCommands& capture);
    // The whole line, whatever part of it the room shows.
    const QString& line() const { return line_; }
    // Any width down to a few characters: where the menu bar has no room for the
    // whole line it is shortened at its end, its tooltip keeping it whole.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showLine(const QString& text, bool recording);
    void fitLine();

    QString line_;

    unsigned shownReport_ = 0;
    bool recordingShown_ = false;
    QTimer reportTime_;
};

} // namespace telvar5
