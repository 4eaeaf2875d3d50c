// The editor's full paint pass over pages of several kinds and sizes, beside the floor every
// paint has: reading the page file whole.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "bench/bench_pages.h"
#include "res/resource.h"

namespace {

using komalore_bench::PageKind;
using komalore_bench::PageKindAndSize;
using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

constexpr PageKindAndSize kPages[] = {
    {"rgb24_480x640", PageKind::Rgb24, 480, 640},
    {"pal8_480x640", PageKind::Palette8, 480, 640},
    {"rle8_480x640", PageKind::Rle8, 480, 640},
    {"rgb24_2480x3508", PageKind::Rgb24, 2480, 3508},
    {"grey8_7016x9921", PageKind::Grey8, 7016, 9921},
};

struct Zoom {
    const char* name;
    double factor;
};

constexpr Zoom kZooms[] = {{"zoom1.0", 1.0}, {"zoom1.1", 1.1}, {"zoom0.5", 0.5}};

// Each page is built once; every benchmark run writes it into a drive of its own.
const std::string& PageBytes(const PageKindAndSize& page) {
    static std::map<std::string, std::string> built;
    auto it = built.find(page.name);
    if (it == built.end()) it = built.emplace(page.name, komalore_bench::BuildPage(page)).first;
    return it->second;
}

void BM_PaintPage(benchmark::State& state, const PageKindAndSize& page, const Zoom& zoom) {
    TemporaryDrive drive;
    komalore_bench::WritePage(drive, PageBytes(page));
    HeadlessApp app;
    app.Then([&] {
        HWND editor = app.EditorWindow();
        HWND frame = app.Control(IDC_FRAME);
        app.Editor()->m_dZoomX = zoom.factor;
        app.Editor()->m_dZoomY = zoom.factor;
        InvalidateRect(editor, nullptr, FALSE);
        komalore_bench::DispatchPending();
        // Near the frame's corner every zoom shows the page's first block.
        const platform::Pixel expected = komalore_bench::PageColour(page.kind, komalore_bench::BlockIndex(0, 0));
        if (komalore_bench::FramePixel(frame, 10, 10) != expected) {
            state.SkipWithError("the paint pass did not draw the page");
        } else {
            for (auto _ : state) {
                InvalidateRect(editor, nullptr, FALSE);
                komalore_bench::DispatchPending();
            }
        }
        app.Key(VK_ESCAPE);
    });
    app.Run();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(PageBytes(page).size()));
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// Opening the page file and reading it whole into a fresh buffer: what any paint must do.
void BM_ReadFileFloor(benchmark::State& state, const PageKindAndSize& page) {
    TemporaryDrive drive;
    komalore_bench::WritePage(drive, PageBytes(page));
    const std::string path = (drive.Path() / "img001.BMP").string();
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("cannot open the page");
            break;
        }
        struct stat st{};
        ::fstat(fd, &st);
        const auto size = static_cast<std::size_t>(st.st_size);
        std::unique_ptr<char, FreeDeleter> buffer(static_cast<char*>(std::malloc(size)));
        std::size_t total = 0;
        while (buffer && total < size) {
            const ssize_t n = ::read(fd, buffer.get() + total, size - total);
            if (n <= 0) break;
            total += static_cast<std::size_t>(n);
        }
        ::close(fd);
        if (total != size) {
            state.SkipWithError("short read");
            break;
        }
        benchmark::DoNotOptimize(buffer.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(PageBytes(page).size()));
}

const bool kRegistered = [] {
    for (const PageKindAndSize& page : kPages) {
        for (const Zoom& zoom : kZooms) {
            benchmark::RegisterBenchmark((std::string("BM_PaintPage/") + page.name + "/" + zoom.name).c_str(),
                                         [&page, &zoom](benchmark::State& state) { BM_PaintPage(state, page, zoom); })
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark((std::string("BM_ReadFileFloor/") + page.name).c_str(),
                                     [&page](benchmark::State& state) { BM_ReadFileFloor(state, page); })
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
