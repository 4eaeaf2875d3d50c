// Files and memory: the kernel services the program uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/base/windef.h"

// Global memory. Blocks are fixed: the handle is the block's address.
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
HGLOBAL GlobalFree(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);

// Files.
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD bytes, DWORD* written, OVERLAPPED* overlapped);
BOOL ReadFile(HANDLE file, LPVOID data, DWORD bytes, DWORD* read, OVERLAPPED* overlapped);
BOOL CloseHandle(HANDLE handle);
DWORD GetLastError();
void SetLastError(DWORD error);

namespace platform {

// The memory block of the layer's allocator that contains [p, p + 1), or an empty span. Readers
// of program memory that the platform's signatures pass without a length (the DIB drawing
// service) take their bounds from here.
std::span<const std::uint8_t> FindMemoryBlock(const void* p);

}  // namespace platform
