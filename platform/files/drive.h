// Drive C: is a folder of the host. Paths the program names ("C:\img001.BMP") resolve inside
// it, letter case ignored as the original file system ignores it.
#pragma once

#include <optional>
#include <string>

#include "platform/base/windef.h"

namespace platform::files {

// The folder that stands for C:\ ($KOMALORE_DRIVE_C, else $XDG_DATA_HOME/komalore/drive_c).
std::string DriveRoot();

// Creates the drive folder when it is missing; false when it can't be created.
bool EnsureDriveRoot();

struct ResolvedPath {
    std::string hostPath;  // the existing entry, or where a new one would be created
    bool exists = false;
};

// Resolves a program path (code page 932) to a host path; nothing when the path leaves the
// drive, names another drive, or holds characters a file name can't. `error` gets the reason as
// a last-error code.
std::optional<ResolvedPath> ResolveProgramPath(std::string_view cp932Path, DWORD& error);

}  // namespace platform::files
