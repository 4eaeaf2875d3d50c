// The page file, as any file a user might put in the drive: the editor reads it at every paint,
// through the page reader and the DIB drawing, at the zooms a user reaches with the buttons and
// at a large one.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    komalore_fuzz::Drive().Write("img001.BMP", std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::function<void(komalore_test::HeadlessApp&)>> actions;
    // The first paint, at start-up, is at 1.0.
    for (double zoom : {1.1, 0.5, 8.0}) {
        actions.push_back([zoom](komalore_test::HeadlessApp& app) {
            app.Editor()->m_dZoomX = zoom;
            app.Editor()->m_dZoomY = zoom;
            komalore_fuzz::RepaintEditor(app);
        });
    }
    komalore_fuzz::RunEditor(std::move(actions));
    return 0;
}
