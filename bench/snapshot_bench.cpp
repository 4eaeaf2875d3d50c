// The "保存" command whole, beside the floor of any durable save of the same bytes: write a new
// file in the same folder, bring it to the disk and rename it into place.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/bench_pages.h"
#include "res/resource.h"

namespace {

using komalore_bench::PageKind;
using komalore_bench::PageKindAndSize;
using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

constexpr std::size_t kSnapshotBytes = 921654;

void Save(HWND editor) { SendMessageA(editor, WM_COMMAND, static_cast<WPARAM>(MAKELONG(IDC_SAVE, BN_CLICKED)), 0); }

void BM_SaveSnapshot(benchmark::State& state) {
    TemporaryDrive drive;
    komalore_bench::WritePage(drive, komalore_bench::BuildPage(PageKindAndSize{"rgb24_480x640", PageKind::Rgb24, 480, 640}));
    HeadlessApp app;
    app.Then([&] {
        HWND editor = app.EditorWindow();
        Save(editor);
        if (drive.Read("img002.bmp").size() != kSnapshotBytes) {
            state.SkipWithError("the save command wrote no snapshot");
        } else {
            for (auto _ : state) Save(editor);
        }
        komalore_bench::DispatchPending();
        app.Key(VK_ESCAPE);
    });
    app.Run();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSnapshotBytes));
}
BENCHMARK(BM_SaveSnapshot)->Unit(benchmark::kMicrosecond);

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void BM_WriteFileFloor(benchmark::State& state) {
    TemporaryDrive drive;
    // The same bytes the command writes: a snapshot taken once.
    std::string bytes;
    {
        HeadlessApp app;
        app.Then([&] {
            Save(app.EditorWindow());
            app.Key(VK_ESCAPE);
        });
        app.Run();
        bytes = drive.Read("img002.bmp");
    }
    if (bytes.size() != kSnapshotBytes) {
        state.SkipWithError("no snapshot to write");
        return;
    }
    const std::string temporary = (drive.Path() / "img002.bmp.new").string();
    const std::string target = (drive.Path() / "img002.bmp").string();
    for (auto _ : state) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool ok = fd >= 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSnapshotBytes));
}
BENCHMARK(BM_WriteFileFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
