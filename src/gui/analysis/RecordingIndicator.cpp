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
    if (text != line_) {
        line_ = text;
        setToolTip(text);
        updateGeometry();
        fitLine();
    }
    if (recording != recordingShown_) {
        recordingShown_ = recording;
        // A recording in progress in dark red and bold; its report in the window's own colours.
        setStyleSheet(recording ? QStringLiteral("QLabel { color: #a00000; font-weight: bold; }") : QString());
    }
    if (isHidden())
        show();
}

QSize RecordingIndicator::sizeHint() const
{
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(line_) + m.left() + m.right() + 2, QLabel::sizeHint().height()};
}

QSize RecordingIndicator::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("Запись…")) + m.left() + m.right(),
            QLabel::minimumSizeHint().height()};
}

void RecordingIndicator::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fitLine();
}

void RecordingIndicator::fitLine()
{
    const QString shown = fontMetrics().elidedText(line_, Qt::ElideRight, contentsRect().width());
    if (shown != text())
        setText(shown);
}

} // namespace telvar5
