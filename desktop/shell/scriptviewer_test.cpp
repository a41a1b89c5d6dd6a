// Tests of the script viewer's logic: the command marker, reading and writing, save and close.
#include "desktop/shell/scriptviewer.h"

#include "desktop/shell/appmessage.h"
#include "desktop/shell/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct MarkerCase {
    const char* name;
    const char* text;
    int number;
    int start;
    int length;
};

class CommandMarkerTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(CommandMarkerTest, SelectsTheFirstExactHeading) {
    const MarkerSelection s =
        findCommandMarker(QString::fromUtf8(GetParam().text), GetParam().number);
    EXPECT_EQ(s.start, GetParam().start);
    EXPECT_EQ(s.length, GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandMarkerTest,
    ::testing::Values(MarkerCase{"HeadingAfterALongerOne", "[Command40]\nx\n[Command4]\ny", 4, 14,
                                 10},
                      MarkerCase{"OnlyALongerHeadingNeverMatches", "[Command40]\nx", 4, 0, 0},
                      MarkerCase{"NumberZeroSelectsNothing", "[Command0]\nx", 0, 0, 0},
                      MarkerCase{"LetterCaseMatters", "[command4]\nx", 4, 0, 0},
                      MarkerCase{"FirstOfTwo", "Ж\n[Command12]\n[Command12]", 12, 2, 11}),
    [](const auto& info) { return std::string(info.param.name); });

class ScriptFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray bytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& data) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QTemporaryDir m_dir;
};

TEST_F(ScriptFileTest, ReadsEveryLineEndAndWritesCrLfInTheAnsiCodePage) {
    // "Да" in CP1251, then lines ended by LF, CR and CR LF.
    write("in.sql", "\xc4\xe0\nselect 1;\rselect 2;\r\n");
    const QString text = readScriptText(path("in.sql"));
    EXPECT_EQ(text, QString::fromUtf8("Да\nselect 1;\nselect 2;"));
    writeScriptText(path("out.sql"), text);
    EXPECT_EQ(bytes("out.sql"), QByteArray("\xc4\xe0\r\nselect 1;\r\nselect 2;\r\n"));
}

TEST_F(ScriptFileTest, AnUnreadableOrUnwritableFileThrowsAFileError) {
    EXPECT_THROW(readScriptText(path("missing.sql")), EInOutError);
    EXPECT_THROW(writeScriptText(path("no/such/folder/x.sql"), "x"), EInOutError);
}

// One save: what the dialog answers, whether the chosen file exists, the overwrite answer.
struct SaveCase {
    const char* name;
    bool modified;
    const char* chosen; // nullptr: the dialog is cancelled; "" the current file
    bool chosenExists;
    int overwriteAnswer; // 0: no question expected
    bool closes;
    const char* resultName; // the viewer's file name afterwards
    bool written;           // whether the chosen file holds the new text
};

class ViewerSaveTest : public ScriptFileTest, public ::testing::WithParamInterface<SaveCase> {
protected:
    void SetUp() override { testing::ensureQtApp(); }
};

TEST_P(ViewerSaveTest, FollowsTheSaveRules) {
    const SaveCase& c = GetParam();
    write("script.rsql", "old\r\n");
    if (c.chosenExists && c.chosen && *c.chosen)
        write(c.chosen, "other\r\n");
    int questions = 0;
    const auto previous =
        setAppMessageHandler([&](const QString&, const QString& text, unsigned flags) {
            EXPECT_EQ(text, QString::fromUtf8("Файл с таким именем уже существует. Перезаписать?"));
            EXPECT_EQ(flags, 36u);
            ++questions;
            return c.overwriteAnswer;
        });
    ScriptViewerModel model(path("script.rsql"), true);
    int dialogs = 0;
    const bool closes =
        model.save("new", c.modified, [&](const QString& current, const QString& filter) {
            ++dialogs;
            EXPECT_EQ(current, path("script.rsql"));
            EXPECT_EQ(filter,
                      QString::fromUtf8("rSQL-скрипты (*.rsql)|*.rsql|Все файлы (*.*)|*.*"));
            if (!c.chosen)
                return std::optional<QString>();
            return std::optional<QString>(*c.chosen ? path(c.chosen) : path("script.rsql"));
        });
    setAppMessageHandler(previous);
    EXPECT_EQ(closes, c.closes);
    EXPECT_EQ(dialogs, c.modified ? 1 : 0);
    EXPECT_EQ(questions, c.overwriteAnswer ? 1 : 0);
    EXPECT_EQ(model.fileName(), path(c.resultName));
    const QString target = c.chosen && *c.chosen ? c.chosen : "script.rsql";
    EXPECT_EQ(bytes(target) == "new\r\n", c.written);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewerSaveTest,
                         ::testing::Values(SaveCase{"UnmodifiedClosesWithoutDialog", false, "",
                                                    false, 0, true, "script.rsql", false},
                                           SaveCase{"CancelledDialogKeepsTheViewerOpen", true,
                                                    nullptr, false, 0, false, "script.rsql", false},
                                           SaveCase{"TheCurrentFileIsOverwrittenWithoutAsking",
                                                    true, "", true, 0, true, "script.rsql", true},
                                           SaveCase{"ANewNameIsTakenOver", true, "copy.rsql", false,
                                                    0, true, "copy.rsql", true},
                                           SaveCase{"AnExistingFileIsOverwrittenOnYes", true,
                                                    "copy.rsql", true, mb::idYes, true, "copy.rsql",
                                                    true},
                                           SaveCase{"AnExistingFileIsKeptOnNo", true, "copy.rsql",
                                                    true, mb::idNo, false, "script.rsql", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ViewerCloseTest, AsksOnlyWhenModifiedAndMapsTheAnswers) {
    testing::ensureQtApp();
    int answer = 0;
    int questions = 0;
    const auto previous =
        setAppMessageHandler([&](const QString&, const QString& text, unsigned flags) {
            EXPECT_EQ(text, QString::fromUtf8("В документ были внесены изменения. Сохранить?"));
            EXPECT_EQ(flags, 35u);
            ++questions;
            return answer;
        });
    using A = ScriptViewerModel::CloseAnswer;
    EXPECT_EQ(ScriptViewerModel::closeQuery(false), A::Discard);
    EXPECT_EQ(questions, 0);
    answer = mb::idYes;
    EXPECT_EQ(ScriptViewerModel::closeQuery(true), A::Save);
    answer = mb::idNo;
    EXPECT_EQ(ScriptViewerModel::closeQuery(true), A::Discard);
    answer = mb::idCancel;
    EXPECT_EQ(ScriptViewerModel::closeQuery(true), A::Stay);
    EXPECT_EQ(questions, 3);
    setAppMessageHandler(previous);
}

} // namespace
} // namespace vt::desktop
