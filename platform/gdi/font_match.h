// Which face files a LOGFONT face name stands for, by asking fontconfig.
#pragma once

#include <string>
#include <vector>

namespace platform::fonts {

struct FaceLocation {
    std::string path;
    int index = 0;  // face index inside a collection file

    bool operator==(const FaceLocation&) const = default;
};

// The face files to try for a family name (UTF-8), best first. A family installed under exactly
// that name comes first; then the Japanese gothic substitutes, since the program's texts and its
// face names are Japanese; last whatever fontconfig offers at all. Results are cached.
const std::vector<FaceLocation>& FaceCandidates(const std::string& familyUtf8);

}  // namespace platform::fonts
