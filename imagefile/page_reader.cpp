// Reading a page file into memory.
#include <climits>

#include "editor/lettering_dlg.h"

std::unique_ptr<PageImage> CLetteringDlg::LoadPageImage(CFile& file) {
    const std::uint64_t length = file.GetLength();
    m_pageHeader = BITMAPFILEHEADER{};
    const UINT headerRead = file.Read(&m_pageHeader, sizeof(BITMAPFILEHEADER));
    if (headerRead < sizeof(BITMAPFILEHEADER)) return nullptr;
    if (m_pageHeader.bfType != 0x4D42) {
        AfxMessageBox("NOT BITMAP", MB_OK);
        return nullptr;
    }
    // A file too long for one read can't be read in full.
    if (length - sizeof(BITMAPFILEHEADER) > UINT_MAX) return nullptr;
    const UINT rest = static_cast<UINT>(length - sizeof(BITMAPFILEHEADER));
    // The block has the file's full length; its last 14 bytes stay unwritten.
    auto page = std::make_unique<PageImage>(static_cast<std::size_t>(length));
    if (file.Read(page->Data(), rest) != rest) return nullptr;
    return page;
}
