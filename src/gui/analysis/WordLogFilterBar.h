#pragma once
// The filter of "Поток слов" in two lines of controls: channels, SDI and SSM
// as toggles, parity, labels as "Метки канала" takes them, and a time range
// in seconds since the start of reception. Every change gives the whole filter.
#include <QWidget>
#include <array>

#include "core/analysis/WordLogFilter.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace telvar5 {

class WordLogFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit WordLogFilterBar(QWidget* parent = nullptr);

    WordLogFilter filter() const;

signals:
    void filterChanged();

private:
    QWidget* toggles(const char* name, int count, int first, std::array<QAbstractButton*, 8>& buttons);
    // Seconds typed with "," or "."; empty: open. A text that is no number is shown red and ignored.
    bool readSeconds(QLineEdit* edit, std::int64_t& us, std::int64_t open) const;

    std::array<QAbstractButton*, 8> channels_{};
    std::array<QAbstractButton*, 8> sdi_{};
    std::array<QAbstractButton*, 8> ssm_{};
    QComboBox* parity_ = nullptr;
    QLineEdit* labels_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
};

} // namespace telvar5
