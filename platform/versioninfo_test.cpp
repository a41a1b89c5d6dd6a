// Tests of reading version blocks from ELF files.
#include "platform/versioninfo.h"

#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace vt::platform;

namespace {

std::string tempFile(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

TEST(VersionInfoTest, TheTestProgramCarriesItsOwnBlock) {
    const auto info = readVersionInfo(programFile());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->fileVersionText(), "1.2.3.4");
    EXPECT_EQ(info->value("FileDescription"), "Platform layer tests");
    EXPECT_EQ(info->value("OriginalFilename"), "platform_test");
    EXPECT_EQ(info->value("ProductName"), "Vantrel Utilities");
    for (const char* key : kVersionInfoKeys)
        EXPECT_TRUE(info->value(key).has_value()) << key;
    EXPECT_FALSE(info->value("NoSuchKey").has_value());
}

TEST(VersionInfoTest, FilesWithoutABlockHaveNone) {
    EXPECT_FALSE(readVersionInfo("/no/such/file").has_value());
    EXPECT_FALSE(readVersionInfo(tempFile("vt_notelf.txt", "just some text")).has_value());
    EXPECT_FALSE(readVersionInfo(tempFile("vt_empty.bin", "")).has_value());
    // A real ELF file without the section.
    EXPECT_FALSE(readVersionInfo("/bin/sh").has_value());
}

TEST(VersionInfoTest, TruncatedOrDamagedElfFilesHaveNone) {
    std::ifstream in(programFile(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 4096u);
    for (std::size_t cut : {std::size_t(16), std::size_t(64), std::size_t(4096), bytes.size() / 2,
                            bytes.size() - 100}) {
        EXPECT_FALSE(readVersionInfo(tempFile("vt_cut.bin", bytes.substr(0, cut))).has_value())
            << cut;
    }
    std::string junk = bytes.substr(0, 64);
    for (std::size_t i = 0x20; i < 0x40; ++i)
        junk[i] = '\xFF'; // section header offsets and counts point nowhere
    EXPECT_FALSE(readVersionInfo(tempFile("vt_junk.bin", junk)).has_value());
}

} // namespace
