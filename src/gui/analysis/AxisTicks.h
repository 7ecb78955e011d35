#pragma once
// Round steps for the trend plot's scales: 1, 2 or 5 times a power of ten, so
// the tick labels read 28000, 30000, 32000 rather than 2.908e+04.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace telvar5 {

// A step that cuts `span` into about `parts` parts.
inline double niceStep(double span, int parts)
{
    if (!(span > 0.0) || !std::isfinite(span) || parts < 1)
        return 1.0;
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / power;
    return (m < 1.5 ? 1.0 : m < 3.5 ? 2.0 : m < 7.5 ? 5.0 : 10.0) * power;
}

// Ticks on the multiples of the step, labelled with as many decimals as the step needs.
inline void setRoundTicks(QCPAxis& axis, double step)
{
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
    auto ticker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(axis.ticker());
    if (!ticker) {
        ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        axis.setTicker(ticker);
    }
    ticker->setTickStep(step);
    axis.setNumberFormat(QStringLiteral("f"));
    axis.setNumberPrecision(decimals);
}

} // namespace telvar5
