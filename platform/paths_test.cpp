// Tests of the settings folder and library loading.
#include "platform/dynlib.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace vt::platform;
namespace fs = std::filesystem;

namespace {

TEST(PathsTest, SettingsFolderComesFromTheEnvironmentInOrder) {
    setenv("VT_CONFIG_DIR", "/tmp/vt-a", 1);
    setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    setenv("HOME", "/tmp/home", 1);
    EXPECT_EQ(settingsFolder(), "/tmp/vt-a");
    unsetenv("VT_CONFIG_DIR");
    EXPECT_EQ(settingsFolder(), "/tmp/xdg/vantrel");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFolder(), "/tmp/home/.config/vantrel");
    EXPECT_EQ(settingsFile("tools.ini"), "/tmp/home/.config/vantrel/tools.ini");
}

TEST(PathsTest, TheSettingsFolderIsCreatedOnDemand) {
    const fs::path dir = fs::temp_directory_path() / "vt-paths-test" / "nested";
    fs::remove_all(dir.parent_path());
    setenv("VT_CONFIG_DIR", dir.c_str(), 1);
    EXPECT_FALSE(fs::exists(dir));
    ensureSettingsFolder();
    EXPECT_TRUE(fs::is_directory(dir));
    fs::remove_all(dir.parent_path());
    // A folder below a regular file cannot be created, whoever we are.
    const fs::path file = fs::temp_directory_path() / "vt-paths-file";
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        std::fclose(f);
    }
    setenv("VT_CONFIG_DIR", (file / "sub").c_str(), 1);
    EXPECT_THROW(ensureSettingsFolder(), std::system_error);
    fs::remove(file);
    unsetenv("VT_CONFIG_DIR");
}

TEST(PathsTest, ProgramFolderIsTheFolderOfTheRunningExecutable) {
    EXPECT_EQ(fs::path(programFile()).filename(), "platform_test");
    EXPECT_EQ(programFolder(), fs::path(programFile()).parent_path().string());
    EXPECT_EQ(moduleFileOf(reinterpret_cast<const void*>(&programFolder)), programFile());
}

TEST(DynLibTest, LoadsBySystemSearchAndLooksFunctionsUp) {
    DynLib lib;
    ASSERT_TRUE(lib.load("libm.so.6")) << lib.errorText();
    EXPECT_NE(lib.symbol("cos"), nullptr);
    EXPECT_EQ(lib.symbol("no_such_function_here"), nullptr);
    EXPECT_NE(lib.errorText().find("no_such_function_here"), std::string::npos);
    lib.unload();
    EXPECT_FALSE(lib.isLoaded());
}

TEST(DynLibTest, AMissingLibraryReportsTheSystemText) {
    DynLib lib;
    EXPECT_FALSE(lib.load("vt-no-such-library.so"));
    EXPECT_NE(lib.errorText().find("vt-no-such-library.so"), std::string::npos);
    EXPECT_FALSE(lib.load("/nowhere/lib.so"));
    EXPECT_NE(lib.errorText().find("No such file"), std::string::npos);
}

} // namespace
