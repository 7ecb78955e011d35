// The Qt side of the user's answers: the error box and the two file dialogs,
// driven while they are open.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ModalDriver.h"
#include "core/output/OutputArrays.h"
#include "gui/FileDialogFilter.h"
#include "gui/QtUserPrompts.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

struct FilterCase {
    const char* bars;
    QStringList qt;
};

const FilterCase kFilters[] = {
    {kArrayOpenFilter, {"Файлы выходных параметров (*.so) (*.so)", "*.* (*)"}},
    {kArraySaveFilter, {"Файлы выходных параметров (*.so) (*.so)", "*.* (*)"}},
    {"Форматы (*.si)|*.si;*.SI", {"Форматы (*.si) (*.si *.SI)"}},
    {"без шаблона|", {}},
    {"", {}},
};

} // namespace

TEST(QtUserPrompts, FiltersInQtsForm)
{
    for (const FilterCase& f : kFilters)
        EXPECT_EQ(qtNameFilters(f.bars), f.qt) << f.bars;
}

TEST(QtUserPrompts, SaveDialogAddsTheDefaultExtensionAndOpenDialogCanBeCancelled)
{
    QTemporaryDir dir;
    QtUserPrompts prompts;
    QStringList filters;
    QString suffix;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        // The user types a name without extension and presses Enter.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->clear();
        QTest::keyClicks(name, QStringLiteral("array"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    const auto saved = prompts.askSaveFileName({kArraySaveFilter, dir.path().toStdString(), "so"});
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(QDir(QFileInfo(QString::fromStdString(*saved)).path()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(QFileInfo(QString::fromStdString(*saved)).fileName(), QStringLiteral("array.so"));
    EXPECT_EQ(filters, qtNameFilters(kArraySaveFilter));
    EXPECT_EQ(suffix, QStringLiteral("so"));

    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->reject();
    });
    EXPECT_FALSE(prompts.askOpenFileName({kArrayOpenFilter, ".", ""}).has_value());

    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite)); // it asks before replacing
        dialog->reject();
    });
    EXPECT_FALSE(prompts.askSaveFileName({kArraySaveFilter, ".", "so", true}).has_value());
}

TEST(QtUserPrompts, ErrorBoxWithOnlyAnOkButton)
{
    QtUserPrompts prompts;
    bool seen = false;
    whenModal([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->objectName(), QStringLiteral("ErrorBox"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Сохранение"));
        EXPECT_EQ(box->text(), QStringLiteral("Файл не записан"));
        EXPECT_EQ(box->buttons().size(), 1);
        box->button(QMessageBox::Ok)->click();
    });
    prompts.showError("Сохранение", "Файл не записан");
    EXPECT_TRUE(seen);
}
