// Tests of the external tools: tools.ini, the list of TFormTools and the main window's entries
// kept in step.
#include "desktop/shell/toolseditor.h"

#include "desktop/shell/testenv.h"
#include "script/inifile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

// The two menus of the main window as lists of captions, with the identifiers in use.
class FakeMenus final : public ToolMenuHost {
public:
    struct Entry {
        QString id;
        QString caption;
    };
    std::vector<Entry> submenu;
    std::vector<Entry> dropDown;
    QStringList otherIdentifiers; // entries of the main window that are no tools
    bool delimVisible = false;

    QString AddToolMenuEntry(const QString& name, int number) override {
        const QString id = QStringLiteral("NItem%1").arg(number);
        EXPECT_FALSE(isIdentifierUsed(id));
        submenu.push_back({id, name});
        dropDown.push_back({id + QStringLiteral("_Popup"), name});
        return id;
    }
    bool isIdentifierUsed(const QString& id) const override {
        if (otherIdentifiers.contains(id))
            return true;
        for (const Entry& e : submenu)
            if (e.id == id)
                return true;
        return false;
    }
    QStringList toolEntryIdentifiers() const override {
        QStringList ids;
        for (const Entry& e : submenu)
            ids << e.id;
        return ids;
    }
    void removeToolEntry(const QString& id) override {
        std::erase_if(dropDown, [&](const Entry& e) { return e.id == id + "_Popup"; });
        std::erase_if(submenu, [&](const Entry& e) { return e.id == id; });
    }
    void moveToolEntry(const QString& id, int index) override {
        for (auto* menu : {&submenu, &dropDown}) {
            auto it = std::find_if(menu->begin(), menu->end(),
                                   [&](const Entry& e) { return e.id.startsWith(id); });
            const Entry moved = *it;
            menu->erase(it);
            menu->insert(menu->begin() + index, moved);
        }
    }
    void setToolDelimVisible(bool visible) override { delimVisible = visible; }

    static QStringList captions(const std::vector<Entry>& menu) {
        QStringList result;
        for (const Entry& e : menu)
            result << e.caption;
        return result;
    }
};

class ToolsEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeIni("[Editor]\r\nProgramName=/usr/bin/vi\r\nWorkDir=\r\nParams=-R\r\n"
                 "; a comment\r\n[Viewer]\r\nProgramName=less\r\n"
                 "[Shell]\r\nProgramName=/bin/sh\r\nWorkDir=/tmp\r\nParams=\r\n");
        m_ini = std::make_unique<script::IniFile>(m_config.file("tools.ini").toStdString());
        // The main window built its entries from the file.
        const QStringList names = toolNames(*m_ini);
        for (int i = 0; i < names.size(); ++i)
            m_menus.AddToolMenuEntry(names[i], i);
    }
    void writeIni(const QByteArray& text) {
        QFile file(m_config.file("tools.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray fileText() {
        QFile file(m_config.file("tools.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Menus, drop-down, list and (after the rewrite) the file show the same tools in order.
    void expectInStep(const ToolsEditor& editor, const QStringList& expected) {
        EXPECT_EQ(editor.names(), expected);
        EXPECT_EQ(FakeMenus::captions(m_menus.submenu), expected);
        EXPECT_EQ(FakeMenus::captions(m_menus.dropDown), expected);
        script::IniFile reread(m_config.file("tools.ini").toStdString());
        EXPECT_EQ(toolNames(reread), expected);
        EXPECT_EQ(m_menus.delimVisible, !expected.isEmpty());
    }

    testing::ScopedConfigDir m_config;
    std::unique_ptr<script::IniFile> m_ini;
    FakeMenus m_menus;
};

TEST_F(ToolsEditorTest, ReadsTheToolsInFileOrderWithMissingKeysEmpty) {
    ToolsEditor editor(*m_ini, m_menus);
    EXPECT_EQ(editor.names(), (QStringList{"Editor", "Viewer", "Shell"}));
    const TToolParams viewer = editor.tool(1);
    EXPECT_EQ(viewer.ProgramName, "less");
    EXPECT_EQ(viewer.WorkDir, "");
    EXPECT_EQ(viewer.Params, "");
}

TEST_F(ToolsEditorTest, AddingANewToolAppendsItEverywhere) {
    ToolsEditor editor(*m_ini, m_menus);
    EXPECT_EQ(editor.save({"Diff", "/usr/bin/meld", "/home", "a b"}), 3);
    editor.rewrite();
    expectInStep(editor, {"Editor", "Viewer", "Shell", "Diff"});
    EXPECT_EQ(m_menus.submenu.back().id, "NItem3");
    EXPECT_EQ(m_menus.dropDown.back().id, "NItem3_Popup");
    EXPECT_EQ(readTool(*m_ini, "Diff").Params, "a b");
}

TEST_F(ToolsEditorTest, ANameDifferingOnlyInCaseUpdatesTheExistingTool) {
    ToolsEditor editor(*m_ini, m_menus);
    EXPECT_EQ(editor.save({"EDITOR", "/usr/bin/nano", "", ""}), 0);
    editor.rewrite();
    expectInStep(editor, {"Editor", "Viewer", "Shell"});
    EXPECT_EQ(editor.tool(0).ProgramName, "/usr/bin/nano");
}

TEST_F(ToolsEditorTest, RenamingInTheEditorAddsANewToolAndKeepsTheOld) {
    ToolsEditor editor(*m_ini, m_menus);
    TToolParams renamed = editor.tool(1);
    renamed.name = "Pager";
    editor.save(renamed);
    editor.rewrite();
    expectInStep(editor, {"Editor", "Viewer", "Shell", "Pager"});
    EXPECT_EQ(editor.tool(3).ProgramName, "less");
}

TEST_F(ToolsEditorTest, RemovingThenAddingGivesTheNewToolAnUnusedIdentifier) {
    m_menus.otherIdentifiers << "NItem3";
    ToolsEditor editor(*m_ini, m_menus);
    editor.remove(0);
    editor.save({"Diff", "meld", "", ""});
    editor.rewrite();
    expectInStep(editor, {"Viewer", "Shell", "Diff"});
    // NItem2 belongs to Shell and NItem3 to another entry of the window.
    EXPECT_EQ(m_menus.submenu.back().id, "NItem4");
}

TEST_F(ToolsEditorTest, MovingReordersMenusListAndFile) {
    ToolsEditor editor(*m_ini, m_menus);
    EXPECT_EQ(editor.moveUp(0), 0);
    EXPECT_EQ(editor.moveDown(2), 2);
    EXPECT_EQ(editor.moveDown(0), 1);
    EXPECT_EQ(editor.moveUp(2), 1);
    editor.rewrite();
    expectInStep(editor, {"Viewer", "Shell", "Editor"});
    // The keys moved with their sections; the comment went with the rewrite.
    EXPECT_EQ(readTool(*m_ini, "Shell").WorkDir, "/tmp");
    EXPECT_FALSE(fileText().contains("; a comment"));
    // A list opened again shows the new order.
    EXPECT_EQ(ToolsEditor(*m_ini, m_menus).names(), (QStringList{"Viewer", "Shell", "Editor"}));
}

TEST_F(ToolsEditorTest, RemovingTheLastToolLeavesAFileWithoutSections) {
    ToolsEditor editor(*m_ini, m_menus);
    while (!editor.names().isEmpty())
        editor.remove(0);
    editor.rewrite();
    expectInStep(editor, {});
    EXPECT_TRUE(fileText().trimmed().isEmpty());
}

TEST(ToolsEditorFolderTest, TheFirstToolMakesTheSettingsFolder) {
    testing::ScopedConfigDir config;
    script::IniFile ini(config.file("fresh/vantrel/tools.ini").toStdString());
    FakeMenus menus;
    ToolsEditor editor(ini, menus);
    editor.save({"Editor", "vi", "", ""});
    editor.rewrite();
    script::IniFile reread(config.file("fresh/vantrel/tools.ini").toStdString());
    EXPECT_EQ(toolNames(reread), QStringList{"Editor"});
}

struct CaptionCase {
    const char* name;
    const char* tool;
};

class ToolCaptionTest : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(ToolCaptionTest, TheMenuCaptionGivesTheToolNameBack) {
    const QString name = QString::fromUtf8(GetParam().tool);
    EXPECT_EQ(toolNameFromCaption(toolCaption(name)), name);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolCaptionTest,
                         ::testing::Values(CaptionCase{"Plain", "Editor"},
                                           CaptionCase{"AmpersandInFront", "&Notepad"},
                                           CaptionCase{"TwoAmpersands", "Tom & Jerry & Co"},
                                           CaptionCase{"Cyrillic", "Редактор"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolNameFromCaptionTest, RemovesOnlyTheFirstAmpersand) {
    EXPECT_EQ(toolNameFromCaption("&Edit&or"), "Edit&or");
    EXPECT_EQ(toolNameFromCaption("Editor"), "Editor");
}

} // namespace
} // namespace vt::desktop
