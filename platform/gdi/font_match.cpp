#include "platform/gdi/font_match.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unordered_map>

namespace platform::fonts {

namespace {

// Tried in this order for a face that isn't installed: proportional gothic faces first, as the
// faces the program names ("ＭＳ Ｐゴシック") are proportional gothics.
constexpr const char* kJapaneseSubstitutes[] = {"IPAPGothic", "VL PGothic", "Noto Sans CJK JP"};

// A face counts as Japanese when it has kana and kanji: "あ" and "漢".
constexpr FcChar32 kJapaneseProbes[] = {0x3042, 0x6F22};

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;
using ObjectSetPtr = std::unique_ptr<FcObjectSet, ObjectSetDeleter>;

struct Candidate {
    FaceLocation location;
    bool japanese = false;
};

bool CoversJapanese(FcPattern* font) {
    FcCharSet* chars = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch || !chars) return false;
    for (FcChar32 c : kJapaneseProbes) {
        if (!FcCharSetHasChar(chars, c)) return false;
    }
    return true;
}

std::optional<Candidate> CandidateFrom(FcPattern* font) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file || !*file) return std::nullopt;
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch || index < 0) index = 0;
    return Candidate{FaceLocation{reinterpret_cast<const char*>(file), index}, CoversJapanese(font)};
}

// The upright, regular face of a family installed under exactly this name. Listing (unlike
// matching) applies no aliases, so "MS PGothic" isn't taken as installed because some
// configuration maps it to another family.
std::optional<Candidate> InstalledFamily(const std::string& family) {
    if (family.empty()) return std::nullopt;
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    ObjectSetPtr objects(FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_CHARSET, nullptr));
    if (!objects) return std::nullopt;
    FontSetPtr fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return std::nullopt;

    std::optional<Candidate> best;
    std::string bestPath;
    int bestScore = 0;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        std::optional<Candidate> c = CandidateFrom(font);
        if (!c) continue;
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        const int score = std::abs(weight - FC_WEIGHT_REGULAR) + (slant == FC_SLANT_ROMAN ? 0 : 1000);
        // Ties go to the smaller path so that the choice doesn't depend on the cache's order.
        if (!best || score < bestScore || (score == bestScore && c->location.path < bestPath)) {
            bestScore = score;
            bestPath = c->location.path;
            best = std::move(c);
        }
    }
    return best;
}

// fontconfig's own choice for a pattern such as ":lang=ja", after its configured substitutions.
std::optional<Candidate> BestMatch(const char* pattern_text) {
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(pattern_text)));
    if (!pattern) return std::nullopt;
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr font(FcFontMatch(nullptr, pattern.get(), &result));
    if (!font || result != FcResultMatch) return std::nullopt;
    return CandidateFrom(font.get());
}

void WarnNoJapaneseFontOnce() {
    static bool warned = false;
    if (warned) return;
    warned = true;
    std::fputs("komalore: no Japanese font found; install fonts-ipafont-gothic\n", stderr);
}

std::vector<FaceLocation> Resolve(const std::string& family) {
    std::vector<FaceLocation> out;
    auto push = [&](const FaceLocation& loc) {
        for (const FaceLocation& have : out) {
            if (have == loc) return;
        }
        out.push_back(loc);
    };

    if (std::optional<Candidate> installed = InstalledFamily(family)) push(installed->location);

    bool haveJapanese = false;
    for (const char* substitute : kJapaneseSubstitutes) {
        if (std::optional<Candidate> c = InstalledFamily(substitute); c && c->japanese) {
            push(c->location);
            haveJapanese = true;
        }
    }
    if (std::optional<Candidate> c = BestMatch(":lang=ja"); c && c->japanese) {
        push(c->location);
        haveJapanese = true;
    }
    if (!haveJapanese) WarnNoJapaneseFontOnce();
    if (std::optional<Candidate> c = BestMatch("")) push(c->location);
    return out;
}

}  // namespace

const std::vector<FaceLocation>& FaceCandidates(const std::string& familyUtf8) {
    // Face names come from a handful of call sites, so the cache stays tiny.
    static std::unordered_map<std::string, std::vector<FaceLocation>> cache;
    auto it = cache.find(familyUtf8);
    if (it == cache.end()) it = cache.emplace(familyUtf8, Resolve(familyUtf8)).first;
    return it->second;
}

}  // namespace platform::fonts
