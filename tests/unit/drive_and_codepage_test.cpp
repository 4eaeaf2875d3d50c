// The drive folder's path rules and the code page edge.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/base/codepage.h"
#include "platform/files/afx_file.h"
#include "platform/files/drive.h"
#include "platform/files/winbase.h"

namespace fs = std::filesystem;

namespace {

class DriveFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("komalore-unit-drive-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "Pages");
        std::ofstream(root_ / "IMG001.BMP") << "BMdata";
        std::ofstream(root_ / "Pages" / "Kana.txt") << "x";
        setenv("KOMALORE_DRIVE_C", root_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KOMALORE_DRIVE_C");
        fs::remove_all(root_);
    }
    fs::path root_;
};

}  // namespace

TEST_F(DriveFolder, ProgramPathsResolveInsideTheDriveIgnoringCase) {
    struct Case {
        const char* path;
        bool resolves;
        bool exists;
        const char* hostName;  // relative to the drive folder
    };
    const Case cases[] = {
        {"C:\\img001.BMP", true, true, "IMG001.BMP"},
        {"c:/IMG001.bmp", true, true, "IMG001.BMP"},
        {"\\img001.bmp", true, true, "IMG001.BMP"},
        {"C:\\pages\\KANA.TXT", true, true, "Pages/Kana.txt"},
        {"C:\\img002.bmp", true, false, "img002.bmp"},
        {"C:\\missing\\img002.bmp", false, false, ""},
        {"C:\\..\\etc\\passwd", false, false, ""},
        {"C:\\pages\\..\\..\\x", false, false, ""},
        {"D:\\img001.BMP", false, false, ""},
        {"\\\\server\\share\\x", false, false, ""},
        {"C:\\a<b", false, false, ""},
        {"C:\\", false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DWORD error = 0;
        auto r = platform::files::ResolveProgramPath(c.path, error);
        ASSERT_EQ(r.has_value(), c.resolves);
        if (!r) {
            EXPECT_NE(error, ERROR_SUCCESS);
            continue;
        }
        EXPECT_EQ(r->exists, c.exists);
        EXPECT_EQ(fs::path(r->hostPath), root_ / c.hostName);
    }
}

TEST_F(DriveFolder, CFileReadsAndThrowsForWhatCantBeOpened) {
    CFile file("C:\\img001.bmp", CFile::modeRead | CFile::shareDenyNone);
    EXPECT_EQ(file.GetLength(), 6u);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.Read(buffer + 4, 10), 2u);
    EXPECT_STREQ(buffer, "BMdata");
    EXPECT_THROW(CFile("C:\\nothing.bmp", CFile::modeRead), CFileException);
    EXPECT_THROW(CFile("C:\\pages", CFile::modeRead), CFileException);
    EXPECT_THROW(CFile("C:\\..\\x", CFile::modeRead), CFileException);
}

TEST_F(DriveFolder, CreateAlwaysReplacesTheEntryOfAnyCaseAndLeavesNoTemporaryFile) {
    HANDLE h = CreateFileA("C:\\img001.bmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(h, "new", 3, &written, nullptr));
    EXPECT_EQ(written, 3u);
    EXPECT_TRUE(CloseHandle(h));
    int entries = 0;
    for (const auto& e : fs::directory_iterator(root_)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);  // IMG001.BMP and Pages, nothing beside them
    std::ifstream in(root_ / "IMG001.BMP");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "new");
}

TEST(CodePage, ConvertsAtTheEdge) {
    struct Case {
        const char* utf8;
        std::string cp932;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"こんにちは", "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd"},
        {"ｶﾀｶﾅ", "\xb6\xc0\xb6\xc5"},  // half-width katakana stays one byte each
        {"漢字\r\n", "\x8a\xbf\x8e\x9a\r\n"},
        {"ＭＳ Ｐゴシック", "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(platform::Cp932FromUtf8(c.utf8), c.cp932);
        EXPECT_EQ(platform::Utf8FromCp932(c.cp932), c.utf8);
    }
    // What the code page can't hold becomes "?"; bytes it doesn't define become "・".
    EXPECT_EQ(platform::Cp932FromUtf8("a😀b€"), "a?b?");
    EXPECT_EQ(platform::Utf8FromCp932("\x81"), "・");
    EXPECT_EQ(platform::Utf8FromCp932("a\x85\x40" "b"), "a・b");
    // Invalid UTF-8 is replaced, never read past its end.
    EXPECT_EQ(platform::DecodeUtf8("\xE3\x81"), std::u32string(1, 0xFFFD));
    EXPECT_EQ(platform::DecodeUtf8("\xC0\xAF"), std::u32string(1, 0xFFFD));
}
