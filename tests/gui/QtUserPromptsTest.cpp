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
#include "core/formats/ParamFormatEditor.h"
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

#ifdef _WIN32
const char* const kAllFiles = "Все файлы (*.*)";
#else
const char* const kAllFiles = "Все файлы (*)"; // "*.*" would miss names without a point
#endif

// Each filter names its patterns once, after a space.
const FilterCase kFilters[] = {
    {kArrayOpenFilter, {"Файлы выходных параметров (*.so)", kAllFiles}},
    {kArraySaveFilter, {"Файлы выходных параметров (*.so)", kAllFiles}},
    {kParamFormatsFilter, {"Файлы форматов входных параметров (*.si)", kAllFiles}},
    {"Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*", {"Текстовые файлы (*.txt)", kAllFiles}},
    {"Своё имя|*.*", {QStringLiteral("Своё имя (") + (QString(kAllFiles).section(QLatin1Char('('), 1))}},
    // The patterns taken replace those the description lists.
    {"Форматы (*.si)|*.si;*.SI", {"Форматы (*.si *.SI)"}},
    {"Записи (копия)|*.tlvcap", {"Записи (копия) (*.tlvcap)"}},
    {"(*.so)|*.so", {"(*.so)"}},
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
    const auto saved = prompts.askSaveFileName({kArraySaveFilter, dir.path().toStdString(), "so", false, ""});
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
    EXPECT_FALSE(prompts.askOpenFileName({kArrayOpenFilter, ".", "", false, ""}).has_value());

    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite)); // it asks before replacing
        dialog->reject();
    });
    EXPECT_FALSE(prompts.askSaveFileName({kArraySaveFilter, ".", "so", true, ""}).has_value());
}

// A dialog opens first in the working folder, given as a real path, and then
// where the last file of its kind was chosen; each kind keeps its own folder.
TEST(QtUserPrompts, DialogsOpenInTheWorkingFolderThenWhereTheirKindWasLastUsed)
{
    QTemporaryDir other;
    QtUserPrompts prompts;
    QStringList shown;
    QStringList titles;
    auto answer = [&](const QString& folder) {
        whenModal([&, folder](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            shown << QDir(dialog->directory()).canonicalPath();
            titles << dialog->windowTitle();
            if (folder.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(folder);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(QStringLiteral("chosen"));
            QTest::keyClick(name, Qt::Key_Return);
        });
    };
    const FileDialogOptions arrays{kArraySaveFilter, ".", "so", false, "Сохранить массив выходных параметров"};
    const FileDialogOptions formats{"Форматы (*.si)|*.si|*.*|*.*", ".", "si", false, ""};
    answer(other.path());
    ASSERT_TRUE(prompts.askSaveFileName(arrays).has_value());
    answer({});
    prompts.askSaveFileName(arrays);
    answer({});
    prompts.askSaveFileName(formats);
    const QString cwd = QDir::current().canonicalPath();
    const QString chosen = QDir(other.path()).canonicalPath();
    EXPECT_EQ(shown, (QStringList{cwd, chosen, cwd}));
    EXPECT_EQ(titles.value(0), QStringLiteral("Сохранить массив выходных параметров"));
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
