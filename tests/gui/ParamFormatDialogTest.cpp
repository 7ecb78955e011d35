// The parameter formats editor through its widgets: typing a label and a
// channel, the double click that copies a tag, the red tag of a deleted
// format, and restoring and saving ".si" files through the buttons.
#include <QFile>
#include <fstream>

#include "FormatsWindowFixture.h"
#include "core/formats/ParamFormatEditor.h"
#include "gui/formats/FormatListModel.h"
#include "gui/formats/ParamFormatModel.h"
#include "gui/formats/TFrmFormatList.h"
#include "gui/formats/TFrmParamFormat.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

using ParamFormatWindow = FormatsWindow;
constexpr const char* kTool = "tbParamFormat";

// 11-byte records: label, channel, 9-byte tag.
void writeParamFile(const QString& path, const std::vector<std::tuple<int, int, std::string>>& records)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    for (const auto& [label, channel, tag] : records) {
        std::string record(11, '\0');
        record[0] = static_cast<char>(label);
        record[1] = static_cast<char>(channel);
        record.replace(2, tag.size(), tag);
        out << record;
    }
}

} // namespace

TEST_F(ParamFormatWindow, DoubleClickCopiesATagThatTurnsRedOnceItsFormatIsDeleted)
{
    inDialog<TFrmParamFormat>(kTool, [this](TFrmParamFormat& dialog) {
        FormatEditorGrid* params = dialog.DrawGrid2();
        typeInto(params, 1, 0, QStringLiteral("203"));
        typeInto(params, 1, 1, QStringLiteral("1"));
        params->endEditing();
        const QPoint mach = cellCentre(dialog.DrawGrid1(), 2, 3);
        QTest::mouseClick(dialog.DrawGrid1()->viewport(), Qt::LeftButton, {}, mach);
        QTest::mouseDClick(dialog.DrawGrid1()->viewport(), Qt::LeftButton, {}, mach);
        EXPECT_EQ(dialog.paramModel()->cellText(0, 0), QStringLiteral("    203"));
        EXPECT_EQ(dialog.paramModel()->cellText(0, 1), QStringLiteral("      1"));
        EXPECT_EQ(dialog.paramModel()->cellText(0, 2), QStringLiteral("MACH"));
        EXPECT_EQ(redPixels(params, 1, 2), 0);
    });
    ASSERT_EQ(tables().paramFormatCount, 1);
    EXPECT_EQ(tables().paramFormatTable[0].formatTag(), "MACH");

    inDialog<TFrmFormatList>("tbFormat", [](TFrmFormatList& dialog) {
        click(dialog.DrawGrid1(), 2, 0);
        dialog.btDelete()->click();
    });
    inDialog<TFrmParamFormat>(kTool, [](TFrmParamFormat& dialog) {
        EXPECT_EQ(dialog.formatModel()->rowCount(), 2);
        EXPECT_EQ(dialog.paramModel()->cellText(0, 2), QStringLiteral("MACH"));
        EXPECT_GT(redPixels(dialog.DrawGrid2(), 1, 2), 10);
    });
}

TEST_F(ParamFormatWindow, FilesAreRestoredAndSavedThroughTheButtons)
{
    const QString restored = cwd.filePath(QStringLiteral("in.si"));
    const QString saved = cwd.filePath(QStringLiteral("out.si"));
    // The second record has no channel, so a save drops it.
    writeParamFile(restored, {{0203, 1, "ALT"}, {0205, 0, "MACH"}, {0310, 2, "NONE"}});
    prompts.fileToOpen = restored.toStdString();
    prompts.fileToSave = saved.toStdString();

    inDialog<TFrmParamFormat>(kTool, [this, &saved](TFrmParamFormat& dialog) {
        dialog.btReadFile()->click();
        ASSERT_EQ(dialog.paramModel()->rowCount(), 3);
        EXPECT_EQ(prompts.dialogs.back().filter, kParamFormatsFilter);
        EXPECT_EQ(dialog.paramModel()->cellText(2, 0), QStringLiteral("    310"));
        EXPECT_EQ(dialog.paramModel()->cellText(2, 2), QStringLiteral("NONE"));
        EXPECT_FALSE(dialog.paramModel()->tagUnknown(0));
        EXPECT_TRUE(dialog.paramModel()->tagUnknown(2));

        dialog.btWriteFile()->click();
        EXPECT_EQ(prompts.dialogs.back().defaultExt, "si");
        EXPECT_EQ(dialog.paramModel()->rowCount(), 2);
        EXPECT_EQ(QFile(saved).size(), 2 * 11);

        // Ctrl+O opens the restore dialog as well.
        const std::size_t asked = prompts.dialogs.size();
        QTest::keyClick(&dialog, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(prompts.dialogs.size(), asked + 1);
        EXPECT_EQ(dialog.paramModel()->rowCount(), 3);
    });
    // Closing compacted the table again.
    EXPECT_EQ(tables().paramFormatCount, 2);
}
