// Frame snapshots: "保存" and "一時保存" copy what the frame shows into a 24-bit BMP file.
#include <string>

#include "editor/lettering_dlg.h"
#include "res/resource.h"

namespace {

constexpr char kSnapshotPath[] = "C:\\img002.bmp";
constexpr char kTemporarySnapshotPath[] = "C:\\tempimg001.bmp";
constexpr int kSnapshotWidth = 480;
constexpr int kSnapshotHeight = 640;
// " に保存できませんでした。" in the program's code page, after the path.
constexpr char kSaveFailedSuffix[] =
    "\x20\x82\xc9\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

void PutWord(BYTE* p, WORD v) {
    p[0] = static_cast<BYTE>(v & 0xFF);
    p[1] = static_cast<BYTE>(v >> 8);
}

void PutDword(BYTE* p, DWORD v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>((v >> (8 * i)) & 0xFF);
}

}  // namespace

void CLetteringDlg::OnSave() {
    CDC* pDC = m_wndFrame.GetDC();
    SaveFrameSnapshot(pDC, kSnapshotPath, kSnapshotWidth, kSnapshotHeight);
    m_wndFrame.ReleaseDC(pDC);
}

void CLetteringDlg::OnTempSave() {
    CDC* pDC = m_wndFrame.GetDC();
    SaveFrameSnapshot(pDC, kTemporarySnapshotPath, kSnapshotWidth, kSnapshotHeight);
    m_wndFrame.ReleaseDC(pDC);
}

void CLetteringDlg::SaveFrameSnapshot(CDC* pSourceDC, LPCSTR pszPath, int nWidth, int nHeight) {
    if (!pSourceDC || nWidth <= 0 || nHeight <= 0) return;
    // Each row is padded to a multiple of 4 bytes; sizes are computed wide so that no width or
    // height can wrap them.
    const unsigned long long rowSize = (static_cast<unsigned long long>(nWidth) * 3 + 3) / 4 * 4;
    const unsigned long long fileSize = rowSize * static_cast<unsigned long long>(nHeight) + 54;
    if (fileSize > 0xFFFFFFFFull) return;
    const DWORD bfSize = static_cast<DWORD>(fileSize);

    BYTE* buffer = static_cast<BYTE*>(static_cast<void*>(GlobalAlloc(GMEM_ZEROINIT, bfSize)));
    if (!buffer) return;

    PutWord(buffer + 0, 0x4D42);
    PutDword(buffer + 2, bfSize);
    PutDword(buffer + 10, 54);
    PutDword(buffer + 14, 40);
    PutDword(buffer + 18, static_cast<DWORD>(nWidth));
    PutDword(buffer + 22, static_cast<DWORD>(nHeight));
    PutWord(buffer + 26, 1);
    PutWord(buffer + 28, 24);
    PutDword(buffer + 30, BI_RGB);

    HDC hSourceDC = pSourceDC->GetSafeHdc();
    HBITMAP hBitmap = CreateCompatibleBitmap(hSourceDC, nWidth, nHeight);
    HDC hMemoryDC = CreateCompatibleDC(hSourceDC);
    HGDIOBJ hOldBitmap = SelectObject(hMemoryDC, hBitmap);
    BitBlt(hMemoryDC, 0, 0, nWidth, nHeight, hSourceDC, 0, 0, SRCCOPY);
    SelectObject(hMemoryDC, hOldBitmap);
    GetDIBits(hSourceDC, hBitmap, 0, static_cast<UINT>(nHeight), buffer + 54, reinterpret_cast<BITMAPINFO*>(buffer + 14),
              DIB_RGB_COLORS);
    DeleteObject(hBitmap);
    DeleteDC(hMemoryDC);

    bool saved = false;
    HANDLE hFile = CreateFileA(pszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        const BOOL wrote = WriteFile(hFile, buffer, bfSize, &written, nullptr);
        const BOOL closed = CloseHandle(hFile);
        saved = wrote && written == bfSize && closed;
    }
    GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(buffer)));

    // A snapshot that didn't reach the disk is reported; the old file, if any, is untouched.
    if (!saved) {
        const std::string message = std::string(pszPath) + kSaveFailedSuffix;
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}
