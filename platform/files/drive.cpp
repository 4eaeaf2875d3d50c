#include "platform/files/drive.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/base/codepage.h"

namespace platform::files {

namespace {

// Letter case of the Latin, Greek, Cyrillic and full-width letters doesn't tell names apart.
std::u32string FoldCase(std::u32string_view s) {
    std::u32string out(s);
    for (char32_t& c : out) {
        if (c >= U'A' && c <= U'Z') c += 0x20;
        else if (c >= 0xFF21 && c <= 0xFF3A) c += 0x20;           // full-width Latin
        else if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) c += 0x20;  // Greek
        else if (c >= 0x0410 && c <= 0x042F) c += 0x20;           // Cyrillic
    }
    return out;
}

bool IsDirectory(const std::string& path) {
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash))) return false;
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// The entry of `folder` whose name equals `name` ignoring case; the exact name wins.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& nameUtf8) {
    struct stat st{};
    if (lstat((folder + "/" + nameUtf8).c_str(), &st) == 0) return nameUtf8;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return std::nullopt;
    const std::u32string wanted = FoldCase(DecodeUtf8(nameUtf8));
    std::optional<std::string> found;
    while (dirent* entry = readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate == "." || candidate == "..") continue;
        if (FoldCase(DecodeUtf8(candidate)) == wanted) {
            found = candidate;
            break;
        }
    }
    closedir(dir);
    return found;
}

bool ValidComponent(const std::u32string& name) {
    if (name.empty() || name == U"." || name == U"..") return false;
    for (char32_t c : name) {
        if (c < 0x20 || c == U'<' || c == U'>' || c == U':' || c == U'"' || c == U'|' || c == U'?' || c == U'*') return false;
    }
    return true;
}

}  // namespace

std::string DriveRoot() {
    if (const char* drive = std::getenv("KOMALORE_DRIVE_C"); drive && *drive) return drive;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        data = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        data = std::string(home) + "/.local/share";
    } else {
        data = "/tmp";
    }
    return data + "/komalore/drive_c";
}

bool EnsureDriveRoot() { return MakeDirectories(DriveRoot()); }

std::optional<ResolvedPath> ResolveProgramPath(std::string_view cp932Path, DWORD& error) {
    std::u32string path = DecodeCp932(cp932Path);
    error = ERROR_SUCCESS;
    // "C:\x", "c:/x", "\x" and "x" all name the drive's root folder; other drives don't exist.
    if (path.size() >= 2 && path[1] == U':') {
        if (FoldCase(path.substr(0, 1)) != U"c") {
            error = ERROR_PATH_NOT_FOUND;
            return std::nullopt;
        }
        path.erase(0, 2);
    }
    if (path.size() >= 2 && (path[0] == U'\\' || path[0] == U'/') && (path[1] == U'\\' || path[1] == U'/')) {
        error = ERROR_PATH_NOT_FOUND;  // a network path
        return std::nullopt;
    }
    std::vector<std::u32string> parts;
    std::u32string current;
    for (char32_t c : path) {
        if (c == U'\\' || c == U'/') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) parts.push_back(current);
    if (parts.empty()) {
        error = ERROR_INVALID_NAME;
        return std::nullopt;
    }
    ResolvedPath result;
    std::string folder = DriveRoot();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!ValidComponent(parts[i])) {
            error = (parts[i] == U".." || parts[i] == U".") ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME;
            return std::nullopt;
        }
        const std::string name = EncodeUtf8(parts[i]);
        const bool last = i + 1 == parts.size();
        std::optional<std::string> entry = FindEntry(folder, name);
        if (!entry) {
            if (!last) {
                error = ERROR_PATH_NOT_FOUND;
                return std::nullopt;
            }
            result.hostPath = folder + "/" + name;
            result.exists = false;
            return result;
        }
        folder += "/" + *entry;
    }
    result.hostPath = folder;
    result.exists = true;
    return result;
}

}  // namespace platform::files
