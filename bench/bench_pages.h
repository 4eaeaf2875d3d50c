// Page files for the benchmarks, built in memory, and the steps the benchmarks share: letting
// the editor paint everything that waits, and reading a frame pixel back.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/windows/window_internal.h"
#include "tests/support/headless_app.h"

namespace komalore_bench {

enum class PageKind { Rgb24, Palette8, Rle8, Grey8 };

struct PageKindAndSize {
    const char* name;
    PageKind kind;
    int width;
    int height;
};

// Pages are drawn in square blocks of one colour, so that a pixel near the frame's corner has
// the same colour at every zoom the benchmarks use.
constexpr int kBlockSize = 32;

inline std::uint8_t BlockIndex(int x, int y) {
    const int bx = x / kBlockSize;
    const int by = y / kBlockSize;
    return static_cast<std::uint8_t>((bx * 7 + by * 13 + 77) & 0xFF);
}

// The colour a page of this kind shows for a palette index (or, for 24-bit pages, for the
// index its block would have had).
inline platform::Pixel PageColour(PageKind kind, std::uint8_t index) {
    switch (kind) {
        case PageKind::Grey8: return platform::PixelFromRgb(index, index, index);
        case PageKind::Rgb24: return platform::PixelFromRgb(index, static_cast<std::uint8_t>(255 - index), static_cast<std::uint8_t>(index * 3));
        case PageKind::Palette8:
        case PageKind::Rle8: return platform::PixelFromRgb(static_cast<std::uint8_t>(255 - index), static_cast<std::uint8_t>(index * 5), index);
    }
    return 0;
}

inline void PutLe(std::string& bytes, std::size_t offset, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A bottom-up RLE8 stream: each row is its blocks as runs, then end of line; end of bitmap last.
inline std::string Rle8Stream(int width, int height) {
    std::string stream;
    for (int stored = 0; stored < height; ++stored) {
        const int y = height - 1 - stored;
        for (int x = 0; x < width; x += kBlockSize) {
            const int run = std::min(kBlockSize, width - x);
            stream.push_back(static_cast<char>(run));
            stream.push_back(static_cast<char>(BlockIndex(x, y)));
        }
        stream.push_back(0);
        stream.push_back(0);
    }
    stream.push_back(0);
    stream.push_back(1);
    return stream;
}

// The whole BMP file of a page.
inline std::string BuildPage(const PageKindAndSize& page) {
    const bool indexed = page.kind != PageKind::Rgb24;
    const std::size_t paletteBytes = indexed ? 256 * 4 : 0;
    const std::size_t offBits = 54 + paletteBytes;
    const std::size_t bytesPerPixel = indexed ? 1 : 3;
    const std::size_t rowSize = (static_cast<std::size_t>(page.width) * bytesPerPixel + 3) / 4 * 4;

    std::string pixels;
    if (page.kind == PageKind::Rle8) {
        pixels = Rle8Stream(page.width, page.height);
    } else {
        pixels.assign(rowSize * static_cast<std::size_t>(page.height), '\0');
        for (int y = 0; y < page.height; ++y) {
            char* row = pixels.data() + rowSize * static_cast<std::size_t>(page.height - 1 - y);
            for (int x = 0; x < page.width; ++x) {
                const std::uint8_t index = BlockIndex(x, y);
                if (indexed) {
                    row[x] = static_cast<char>(index);
                } else {
                    const platform::Pixel p = PageColour(page.kind, index);
                    row[3 * x] = static_cast<char>(platform::PixelBlue(p));
                    row[3 * x + 1] = static_cast<char>(platform::PixelGreen(p));
                    row[3 * x + 2] = static_cast<char>(platform::PixelRed(p));
                }
            }
        }
    }

    std::string bytes(offBits, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, static_cast<std::uint32_t>(offBits + pixels.size()), 4);
    PutLe(bytes, 10, static_cast<std::uint32_t>(offBits), 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, static_cast<std::uint32_t>(page.width), 4);
    PutLe(bytes, 22, static_cast<std::uint32_t>(page.height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, indexed ? 8 : 24, 2);
    PutLe(bytes, 30, page.kind == PageKind::Rle8 ? 1 : 0, 4);  // BI_RLE8 or BI_RGB
    PutLe(bytes, 34, static_cast<std::uint32_t>(pixels.size()), 4);
    if (indexed) {
        PutLe(bytes, 46, 256, 4);
        for (int i = 0; i < 256; ++i) {
            const platform::Pixel p = PageColour(page.kind, static_cast<std::uint8_t>(i));
            const std::size_t at = 54 + 4 * static_cast<std::size_t>(i);
            bytes[at] = static_cast<char>(platform::PixelBlue(p));
            bytes[at + 1] = static_cast<char>(platform::PixelGreen(p));
            bytes[at + 2] = static_cast<char>(platform::PixelRed(p));
        }
    }
    bytes += pixels;
    return bytes;
}

// Dispatches every message that waits, the paints among them, as the message loop does when
// the program is idle.
inline void DispatchPending() {
    MSG msg;
    while (platform::win::NextMessage(msg, false)) DispatchMessageA(&msg);
}

// Writes a page into the drive and waits until it reached the disk, so that no write-back of it
// runs while it is being timed.
inline void WritePage(const komalore_test::TemporaryDrive& drive, const std::string& bytes) {
    drive.Write("img001.BMP", bytes);
    const int fd = ::open((drive.Path() / "img001.BMP").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

inline platform::Pixel FramePixel(HWND frame, int x, int y) { return komalore_test::HeadlessApp::PixelAt(frame, x, y) & 0xFFFFFF; }

}  // namespace komalore_bench
