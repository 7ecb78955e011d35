#include "gui/analysis/TFrmRecordTrigger.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/analysis/RecordingConditionText.h"

namespace telvar5 {

namespace {

QLineEdit* conditionEdit(QWidget* parent, const char* name, const QString& placeholder)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(placeholder);
    return edit;
}

} // namespace

TFrmRecordTrigger::TFrmRecordTrigger(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmRecordTrigger"));
    setWindowTitle(QStringLiteral("Запись по условию"));
    startEdit_ = conditionEdit(this, "StartEdit", QStringLiteral("arrive:1:205"));
    preEdit_ = conditionEdit(this, "PreEdit", QStringLiteral("0"));
    preEdit_->setText(QStringLiteral("0"));
    stopEdit_ = conditionEdit(this, "StopEdit", QStringLiteral("нет: до команды \"Запись\""));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Начать, когда:"), startEdit_);
    form->addRow(QStringLiteral("Взять секунд до условия:"), preEdit_);
    form->addRow(QStringLiteral("Кончить, когда:"), stopEdit_);

    auto* hint = new QLabel(QStringLiteral("Канал C 1..8, метка LLL восьмеричная, числа с точкой или запятой:\n"
                                           "arrive:C:LLL - пришла метка\n"
                                           "cross:C:LLL:V - ее значение пересекло V\n"
                                           "range:C:LLL:MIN:MAX - ее значение вышло из MIN..MAX\n"
                                           "ssm:C:LLL - сменилась ее SSM\n"
                                           "absent:C:LLL:MS - ее нет дольше MS мс"),
                            this);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("ProblemLine"));
    problem_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    problem_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ждать условия"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TFrmRecordTrigger::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

void TFrmRecordTrigger::accept()
{
    const std::string start = startEdit_->text().trimmed().toStdString();
    const std::string stop = stopEdit_->text().trimmed().toStdString();
    RecordingTriggers triggers;
    triggers.start = parseRecordingCondition(start);
    const auto preUs = parsePreTriggerUs(preEdit_->text().trimmed().toStdString());
    if (!stop.empty())
        triggers.stop = parseRecordingCondition(stop);
    QString problem;
    if (!triggers.start)
        problem = QStringLiteral("Условие начала не читается: ") + QString::fromStdString(start);
    else if (!preUs)
        problem = QStringLiteral("Секунды до условия - число от 0 до 3600");
    else if (!stop.empty() && !triggers.stop)
        problem = QStringLiteral("Условие конца не читается: ") + QString::fromStdString(stop);
    if (!problem.isEmpty()) {
        problem_->setText(problem);
        problem_->show();
        return;
    }
    triggers.preUs = *preUs;
    triggers_ = triggers;
    QDialog::accept();
}

} // namespace telvar5
