// CFile and the kernel's file handles, over the drive folder.
//
// A file created for writing is written to a new temporary file beside the target and renamed
// over it when the handle is closed, after the data reached the disk: a save that fails on the
// way leaves the old file as it was and no temporary file behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/files/afx_file.h"
#include "platform/files/drive.h"
#include "platform/files/winbase.h"

namespace {

DWORD ErrorFromErrno(int e) {
    switch (e) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case ENAMETOOLONG: return ERROR_INVALID_NAME;
        default: return ERROR_WRITE_FAULT;
    }
}

CFileException::Cause CauseFromError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: return CFileException::fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: return CFileException::badPath;
        case ERROR_ACCESS_DENIED: return CFileException::accessDenied;
        case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
        case ERROR_DISK_FULL: return CFileException::diskFull;
        default: return CFileException::genericException;
    }
}

struct KernelFile {
    int fd = -1;
    std::string target;     // where the data goes when the handle closes
    std::string temporary;  // what is being written
    bool failed = false;
};

struct KernelState {
    platform::HandleTable<KernelFile> files{0x46};
    DWORD lastError = ERROR_SUCCESS;
};

KernelState& Kernel() {
    static KernelState state;
    return state;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SyncFolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    ::fsync(fd);
    ::close(fd);
    return true;
}

}  // namespace

DWORD GetLastError() { return Kernel().lastError; }
void SetLastError(DWORD error) { Kernel().lastError = error; }

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD, HANDLE) {
    DWORD error = ERROR_SUCCESS;
    auto resolved = platform::files::ResolveProgramPath(path ? path : "", error);
    if (!resolved) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_unique<KernelFile>();
    if (access & GENERIC_WRITE) {
        if (disposition != CREATE_ALWAYS && disposition != CREATE_NEW && disposition != OPEN_ALWAYS) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        if (disposition == CREATE_NEW && resolved->exists) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        struct stat st{};
        if (resolved->exists && stat(resolved->hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        // The existing entry keeps its name whatever case the program spells it in.
        file->target = resolved->hostPath;
        std::string pattern = file->target + ".XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        file->fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (file->fd < 0) {
            SetLastError(ErrorFromErrno(errno));
            return INVALID_HANDLE_VALUE;
        }
        ::fchmod(file->fd, 0644);
        file->temporary = name.data();
    } else {
        if (!resolved->exists) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        file->fd = ::open(resolved->hostPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (file->fd < 0) {
            SetLastError(ErrorFromErrno(errno));
            return INVALID_HANDLE_VALUE;
        }
    }
    SetLastError(ERROR_SUCCESS);
    return platform::HandleCast<HANDLE>(Kernel().files.Add(std::move(file)));
}

BOOL WriteFile(HANDLE handle, LPCVOID data, DWORD bytes, DWORD* written, OVERLAPPED*) {
    if (written) *written = 0;
    KernelFile* file = Kernel().files.Find(platform::HandleValue(handle));
    if (!file || file->temporary.empty() || (!data && bytes)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!WriteAll(file->fd, static_cast<const char*>(data), bytes)) {
        file->failed = true;
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    if (written) *written = bytes;
    return TRUE;
}

BOOL ReadFile(HANDLE handle, LPVOID data, DWORD bytes, DWORD* read, OVERLAPPED*) {
    if (read) *read = 0;
    KernelFile* file = Kernel().files.Find(platform::HandleValue(handle));
    if (!file || !file->temporary.empty() || (!data && bytes)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD total = 0;
    while (total < bytes) {
        const ssize_t n = ::read(file->fd, static_cast<char*>(data) + total, bytes - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        if (n == 0) break;
        total += static_cast<DWORD>(n);
    }
    if (read) *read = total;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    KernelFile* file = Kernel().files.Find(platform::HandleValue(handle));
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    bool ok = true;
    DWORD error = ERROR_SUCCESS;
    if (!file->temporary.empty()) {
        ok = !file->failed;
        if (ok && ::fsync(file->fd) != 0) {
            ok = false;
            error = ErrorFromErrno(errno);
        }
        if (::close(file->fd) != 0 && ok) {
            ok = false;
            error = ErrorFromErrno(errno);
        }
        if (ok && ::rename(file->temporary.c_str(), file->target.c_str()) != 0) {
            ok = false;
            error = ErrorFromErrno(errno);
        }
        if (ok) {
            SyncFolderOf(file->target);
        } else {
            ::unlink(file->temporary.c_str());
            if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
        }
    } else {
        ::close(file->fd);
    }
    Kernel().files.Remove(platform::HandleValue(handle));
    SetLastError(error);
    return ok ? TRUE : FALSE;
}

CFile::CFile(LPCSTR path, UINT openFlags) : path_(path ? path : "") {
    if (openFlags & (modeWrite | modeReadWrite | modeCreate)) {
        throw CFileException(CFileException::accessDenied, static_cast<int>(ERROR_ACCESS_DENIED), path_);
    }
    DWORD error = ERROR_SUCCESS;
    auto resolved = platform::files::ResolveProgramPath(path_, error);
    if (!resolved) throw CFileException(CauseFromError(error), static_cast<int>(error), path_);
    if (!resolved->exists) throw CFileException(CFileException::fileNotFound, static_cast<int>(ERROR_FILE_NOT_FOUND), path_);
    fd_ = ::open(resolved->hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        const DWORD e = ErrorFromErrno(errno);
        throw CFileException(CauseFromError(e), static_cast<int>(e), path_);
    }
    struct stat st{};
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw CFileException(CFileException::accessDenied, static_cast<int>(ERROR_ACCESS_DENIED), path_);
    }
}

CFile::~CFile() { Close(); }

void CFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::uint64_t CFile::GetLength() const {
    struct stat st{};
    if (fd_ < 0 || fstat(fd_, &st) != 0) {
        throw CFileException(CFileException::hardIO, static_cast<int>(ERROR_INVALID_HANDLE), path_);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (fd_ < 0) throw CFileException(CFileException::hardIO, static_cast<int>(ERROR_INVALID_HANDLE), path_);
    UINT total = 0;
    while (total < count) {
        const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + total, count - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CFileException(CFileException::hardIO, static_cast<int>(ErrorFromErrno(errno)), path_);
        }
        if (n == 0) break;
        total += static_cast<UINT>(n);
    }
    return total;
}
