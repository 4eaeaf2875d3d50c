// CFile: the framework's file object, over the drive folder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/windef.h"

class CFileException {
public:
    enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
                 removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull,
                 endOfFile };
    CFileException(Cause cause, int osError, std::string fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

    Cause m_cause;
    int m_lOsError;
    std::string m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
    };

    // Opens the file or throws CFileException.
    CFile(LPCSTR path, UINT openFlags);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    std::uint64_t GetLength() const;
    // Reads up to `count` bytes; returns how many arrived (fewer only at the end of the file).
    UINT Read(void* buffer, UINT count);
    void Close();

private:
    int fd_ = -1;
    std::string path_;
};
