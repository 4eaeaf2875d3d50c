// Frame snapshots: the bytes of the file "保存" writes, odd sizes through the writer itself,
// row order, the lettering in the capture, and replacing or failing to replace a file.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "tests/support/bmp_builder.h"
#include "tests/support/page_test_support.h"

using namespace komalore_test;

namespace {

constexpr platform::Pixel kRed = platform::PixelFromRgb(220, 30, 40);
constexpr platform::Pixel kGreen = platform::PixelFromRgb(20, 200, 60);
constexpr platform::Pixel kBlue = platform::PixelFromRgb(30, 40, 210);

// A page whose every row has its own colour, so that the row order of a capture shows.
platform::Pixel RowColour(int x, int y) { return platform::PixelFromRgb(y % 256, (y / 256) * 60 + 10, (x * 3) % 256); }

std::vector<std::string> DriveEntries(const TemporaryDrive& drive) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(drive.Path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every pixel of the file against the frame on screen.
std::size_t PixelsDifferingFromTheFrame(const std::string& file, HWND frame, int width, int height) {
    std::size_t differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) differing += Bmp24PixelAt(file, x, y) != Rgb(HeadlessApp::PixelAt(frame, x, y));
    }
    return differing;
}

}  // namespace

TEST(Snapshot, SaveWritesTheFramesPixelsAsA24BitBmp) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", Bmp24(480, 640, RowColour));
    HeadlessApp app;
    std::size_t differing = 1;
    app.Then([&] { app.ClickCenter(app.Control(IDC_SAVE)); });
    app.Then([&] {
        differing = PixelsDifferingFromTheFrame(drive.Read("img002.bmp"), app.Control(IDC_FRAME), 480, 640);
        app.Key(VK_ESCAPE);
    });
    app.Run();
    const std::string file = drive.Read("img002.bmp");
    ASSERT_EQ(file.size(), 921654u);
    struct Field {
        const char* name;
        std::size_t offset;
        int width;
        std::uint32_t value;
    };
    const std::vector<Field> fields = {
        {"bfType", 0, 2, 0x4D42},       {"bfSize", 2, 4, 921654},  {"bfReserved1", 6, 2, 0}, {"bfReserved2", 8, 2, 0},
        {"bfOffBits", 10, 4, 54},       {"biSize", 14, 4, 40},     {"biWidth", 18, 4, 480},  {"biHeight", 22, 4, 640},
        {"biPlanes", 26, 2, 1},         {"biBitCount", 28, 2, 24}, {"biCompression", 30, 4, 0},
        {"biXPelsPerMeter", 38, 4, 0},  {"biYPelsPerMeter", 42, 4, 0}, {"biClrUsed", 46, 4, 0}, {"biClrImportant", 50, 4, 0},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(GetLe(file, f.offset, f.width), f.value);
    }
    EXPECT_EQ(file.substr(0, 2), "BM");
    const std::uint32_t sizeImage = GetLe(file, 34, 4);
    EXPECT_TRUE(sizeImage == 0 || sizeImage == 921600) << sizeImage;
    EXPECT_EQ(differing, 0u);
    // The page's rows, not the frame's border, fill the inside.
    EXPECT_EQ(Bmp24PixelAt(file, 100, 300), RowColour(100, 300));
}

TEST(Snapshot, OddSizesArePaddedWithZeroBytes) {
    struct Case {
        int width, height;
        std::size_t rowSize;
    };
    for (const Case& c : std::vector<Case>{{5, 3, 16}, {1, 1, 4}, {2, 7, 8}, {4, 2, 12}, {7, 5, 24}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        TemporaryDrive drive;
        drive.Write("img001.BMP", Bmp24(480, 640, RowColour));
        HeadlessApp app;
        std::size_t differing = 1;
        app.Then([&] {
            HWND frame = app.Control(IDC_FRAME);
            HDC dc = GetDC(frame);
            app.Editor()->SaveFrameSnapshot(CDC::FromHandle(dc), "C:\\odd.bmp", c.width, c.height);
            ReleaseDC(frame, dc);
            differing = PixelsDifferingFromTheFrame(drive.Read("odd.bmp"), frame, c.width, c.height);
            app.Key(VK_ESCAPE);
        });
        app.Run();
        const std::string file = drive.Read("odd.bmp");
        ASSERT_EQ(file.size(), 54 + c.rowSize * static_cast<std::size_t>(c.height));
        EXPECT_EQ(GetLe(file, 2, 4), file.size());
        EXPECT_EQ(GetLe(file, 18, 4), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(GetLe(file, 22, 4), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(differing, 0u);
        for (int row = 0; row < c.height; ++row) {
            for (std::size_t i = static_cast<std::size_t>(c.width) * 3; i < c.rowSize; ++i) {
                EXPECT_EQ(file[54 + c.rowSize * static_cast<std::size_t>(row) + i], '\0') << "row " << row << " byte " << i;
            }
        }
    }
}

TEST(Snapshot, TheFirstStoredRowIsTheBottomRowOfTheCapture) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", Bmp24(480, 640, RowColour));
    HeadlessApp app;
    app.Then([&] {
        HWND frame = app.Control(IDC_FRAME);
        HDC dc = GetDC(frame);
        app.Editor()->SaveFrameSnapshot(CDC::FromHandle(dc), "C:\\rows.bmp", 8, 20);
        ReleaseDC(frame, dc);
        app.ClickCenter(app.Control(IDC_SAVE));
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
    auto storedFirst = [](const std::string& file) {
        return platform::PixelFromRgb(static_cast<unsigned char>(file[56]), static_cast<unsigned char>(file[55]),
                                      static_cast<unsigned char>(file[54]));
    };
    // Pixel 5 of the capture's last row: page row 19 of the small capture, 639 of the full one.
    const std::string rows = drive.Read("rows.bmp");
    ASSERT_EQ(rows.size(), 54u + 24 * 20);
    EXPECT_EQ(platform::PixelFromRgb(static_cast<unsigned char>(rows[54 + 17]), static_cast<unsigned char>(rows[54 + 16]),
                                     static_cast<unsigned char>(rows[54 + 15])),
              RowColour(5, 19));
    const std::string full = drive.Read("img002.bmp");
    ASSERT_EQ(full.size(), 921654u);
    EXPECT_EQ(platform::PixelFromRgb(static_cast<unsigned char>(full[54 + 17]), static_cast<unsigned char>(full[54 + 16]),
                                     static_cast<unsigned char>(full[54 + 15])),
              RowColour(5, 639));
    EXPECT_NE(storedFirst(full), RowColour(0, 1));
}

TEST(Snapshot, TheOverlaysLetteringIsInTheSnapshot) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
    HeadlessApp app;
    std::size_t differing = 1;
    DarkPixels onScreen;
    app.Then([&] {
        SetWindowTextA(app.Control(IDC_TEXT), "HHH\r\nHHH");
        SetWindowTextA(app.Control(IDC_TOP), "100");
        SetWindowTextA(app.Control(IDC_LEFT), "120");
        SetWindowTextA(app.Control(IDC_FONT_SIZE), "30");
        app.ClickCenter(app.Control(IDC_BALLOON));
    });
    app.Then([&] { app.ClickCenter(app.Control(IDC_SAVE)); });
    app.Then([&] {
        onScreen = FindDarkPixels(app.Control(IDC_FRAME));
        differing = PixelsDifferingFromTheFrame(drive.Read("img002.bmp"), app.Control(IDC_FRAME), 480, 640);
        app.Key(VK_ESCAPE);
    });
    app.Run();
    ASSERT_GT(onScreen.count, 0);
    EXPECT_GE(onScreen.left, 120);
    EXPECT_GE(onScreen.top, 100);
    EXPECT_EQ(differing, 0u);
    const std::string file = drive.Read("img002.bmp");
    int darkInFile = 0;
    for (int y = 1; y < 639; ++y) {
        for (int x = 1; x < 479; ++x) darkInFile += IsDark(Bmp24PixelAt(file, x, y));
    }
    EXPECT_EQ(darkInFile, onScreen.count);
}

TEST(Snapshot, SavingAgainReplacesTheFile) {
    struct Case {
        const char* existing;  // the name an older file already has
    };
    for (const Case& c : std::vector<Case>{{"img002.bmp"}, {"IMG002.BMP"}}) {
        SCOPED_TRACE(c.existing);
        TemporaryDrive drive;
        drive.Write(c.existing, std::string(2000000, 'x'));
        drive.Write("img001.BMP", SolidBmp24(480, 640, kRed));
        HeadlessApp app;
        std::string first;
        app.Then([&] { app.ClickCenter(app.Control(IDC_SAVE)); });
        app.Then([&] {
            first = drive.Read(c.existing);
            drive.Write("img001.BMP", SolidBmp24(480, 640, kGreen));
            Repaint(app);
        });
        app.Then([&] { app.ClickCenter(app.Control(IDC_SAVE)); });
        app.Then([&] { app.Key(VK_ESCAPE); });
        app.Run();
        std::vector<std::string> expected = {c.existing, "img001.BMP"};
        std::sort(expected.begin(), expected.end());
        // Replaced under its own name: no second file in another letter case.
        EXPECT_EQ(DriveEntries(drive), expected);
        ASSERT_EQ(first.size(), 921654u);
        EXPECT_EQ(Bmp24PixelAt(first, 200, 200), kRed);
        const std::string second = drive.Read(c.existing);
        ASSERT_EQ(second.size(), 921654u);
        EXPECT_EQ(Bmp24PixelAt(second, 200, 200), kGreen);
    }
}

TEST(Snapshot, AReadOnlyDriveKeepsTheOlderFileAndSaysSo) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kRed));
    drive.Write("img002.bmp", "older snapshot");
    fs::permissions(drive.Path(), fs::perms(0555), fs::perm_options::replace);
    const std::string probe = (drive.Path() / "probe").string();
    const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
        fs::permissions(drive.Path(), fs::perms::owner_all, fs::perm_options::add);
        GTEST_SKIP() << "this user writes into read-only folders (root), so the folder can't refuse the snapshot";
    }
    HeadlessApp app;
    std::string message;
    app.Then([&] { app.ClickCenter(app.Control(IDC_SAVE)); });
    app.Then([&] {
        HWND box = HeadlessApp::FindTopLevel("komalore");
        if (box) {
            message = HeadlessApp::Text(GetDlgItem(box, 0xFFFF));
            app.Key(VK_RETURN);
        }
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
    EXPECT_EQ(message, "C:\\img002.bmp に保存できませんでした。");
    EXPECT_EQ(drive.Read("img002.bmp"), "older snapshot");
    EXPECT_EQ(DriveEntries(drive), (std::vector<std::string>{"img001.BMP", "img002.bmp"}));
}

TEST(Snapshot, AWriteThatFailsOnTheWayKeepsTheOlderFileAndSaysSo) {
    // A file size limit makes the write fail part way for any user, root included.
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kRed));
    drive.Write("img002.bmp", "older snapshot");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    HeadlessApp app;
    std::string message;
    app.Then([&] { app.ClickCenter(app.Control(IDC_SAVE)); });
    app.Then([&] {
        if (HWND box = HeadlessApp::FindTopLevel("komalore")) {
            message = HeadlessApp::Text(GetDlgItem(box, 0xFFFF));
            EXPECT_EQ(GetWindow(box, GW_OWNER), app.EditorWindow());
            app.Key(VK_RETURN);
        }
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, "C:\\img002.bmp に保存できませんでした。");
    EXPECT_EQ(drive.Read("img002.bmp"), "older snapshot");
    EXPECT_EQ(DriveEntries(drive), (std::vector<std::string>{"img001.BMP", "img002.bmp"}));
}

TEST(Snapshot, TemporarySaveThenTemporaryViewShowsTheTemporaryPage) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kRed));
    const std::string temporaryPage = SolidBmp24(480, 640, kBlue);
    drive.Write("tmpimg001.BMP", temporaryPage);
    HeadlessApp app;
    platform::Pixel shown = 0;
    app.Then([&] { app.ClickCenter(app.Control(IDC_TEMP_SAVE)); });
    app.Then([&] { app.ClickCenter(app.Control(IDC_TEMP_VIEW)); });
    app.Then([&] {
        shown = Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 200, 200));
        app.Key(VK_ESCAPE);
    });
    app.Run();
    const std::string snapshot = drive.Read("tempimg001.bmp");
    ASSERT_EQ(snapshot.size(), 921654u);
    EXPECT_EQ(Bmp24PixelAt(snapshot, 200, 200), kRed);
    EXPECT_EQ(shown, kBlue);
    EXPECT_EQ(drive.Read("tmpimg001.BMP"), temporaryPage);
    EXPECT_EQ(DriveEntries(drive), (std::vector<std::string>{"img001.BMP", "tempimg001.bmp", "tmpimg001.BMP"}));
}
