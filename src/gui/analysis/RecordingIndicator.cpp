#include "gui/analysis/RecordingIndicator.h"

#include "core/analysis/CaptureCommands.h"

namespace telvar5 {

RecordingIndicator::RecordingIndicator(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("RecordingIndicator"));
    setContentsMargins(8, 0, 8, 0);
    reportTime_.setSingleShot(true);
    connect(&reportTime_, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void RecordingIndicator::showCapture(const CaptureCommands& capture)
{
    if (capture.recording() || capture.waiting()) {
        reportTime_.stop();
        shownReport_ = capture.reportNumber();
        showLine(QString::fromStdString(capture.recordingText()), true);
    } else if (capture.reportNumber() != shownReport_) {
        shownReport_ = capture.reportNumber();
        showLine(QString::fromStdString(capture.report()), false);
        reportTime_.start(kReportMs);
    } else if (recordingShown_) {
        hide(); // every stop reports; this only guards against a line that would outlive its recording
        recordingShown_ = false;
    }
}

void RecordingIndicator::showLine(const QString& text, bool recording)
{
    // Called on every tick: the widget is touched only when what it shows changes.
    if (text != this->text()) {
        setText(text);
        setToolTip(text);
    }
    if (recording != recordingShown_) {
        recordingShown_ = recording;
        // A recording in progress in dark red and bold; its report in the window's own colours.
        setStyleSheet(recording ? QStringLiteral("QLabel { color: #a00000; font-weight: bold; }") : QString());
    }
    if (isHidden())
        show();
}

} // namespace telvar5
