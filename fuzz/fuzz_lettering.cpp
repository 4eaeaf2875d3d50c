// The lettering: the Top, Left and Font Size boxes and the balloon text hold whatever bytes a
// user (or a paste) put there, read as code page 932; the overlay draws them over a page.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_script.h"
#include "res/resource.h"
#include "tests/support/bmp_builder.h"

namespace {

// The input's four texts, split at its first three NUL bytes (a box can't hold a NUL).
std::vector<std::string> SplitTexts(std::string_view input) {
    std::vector<std::string> texts;
    while (texts.size() < 3) {
        const std::size_t nul = input.find('\0');
        if (nul == std::string_view::npos) break;
        texts.emplace_back(input.substr(0, nul));
        input.remove_prefix(nul + 1);
    }
    texts.emplace_back(input);
    texts.resize(4);
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    komalore_fuzz::Drive().Write("img001.BMP", komalore_test::SolidBmp24(120, 90, platform::PixelFromRgb(250, 250, 240)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> texts = SplitTexts(std::string_view(reinterpret_cast<const char*>(data), size));
    komalore_fuzz::RunEditor({[&texts](komalore_test::HeadlessApp& app) {
        SetWindowTextA(app.Control(IDC_TOP), texts[0].c_str());
        SetWindowTextA(app.Control(IDC_LEFT), texts[1].c_str());
        SetWindowTextA(app.Control(IDC_FONT_SIZE), texts[2].c_str());
        SetWindowTextA(app.Control(IDC_TEXT), texts[3].c_str());
        app.Editor()->m_bBalloon = TRUE;
        komalore_fuzz::RepaintEditor(app);
    }});
    return 0;
}
