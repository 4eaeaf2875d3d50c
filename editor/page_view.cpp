// The page view: every paint rereads the page file and draws it into the frame, then the
// lettering, then the dialog's own painting.
#include <cmath>
#include <limits>

#include "editor/lettering_dlg.h"

namespace {

constexpr char kNormalPage[] = "C:\\img001.BMP";
constexpr char kTemporaryPage[] = "C:\\tmpimg001.BMP";
constexpr double kZoomStep = 0.1;

// A size times a zoom factor, truncated toward zero; kept inside the int range, where the
// product of a hostile width and a large factor would overflow.
int ZoomedSize(LONG size, double zoom) {
    const double v = std::trunc(static_cast<double>(size) * zoom);
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

}  // namespace

void CLetteringDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }

    {
        CFile file(m_bTempView ? kTemporaryPage : kNormalPage, CFile::modeRead | CFile::shareDenyNone);
        std::unique_ptr<PageImage> page = LoadPageImage(file);
        if (page) {
            const std::optional<LONG> width = page->Width();
            const std::optional<LONG> height = page->Height();
            BYTE* bits = page->Bits(m_pageHeader.bfOffBits);
            if (width && height && bits) {
                const int dxDst = ZoomedSize(*width, m_dZoomX);
                const int dyDst = ZoomedSize(*height, m_dZoomY);
                CDC* pRealizeDC = m_wndFrame.GetDC();
                DrawDibRealize(m_hDrawDib, pRealizeDC->GetSafeHdc(), TRUE);
                CDC* pDrawDC = m_wndFrame.GetDC();
                DrawDibDraw(m_hDrawDib, pDrawDC->GetSafeHdc(), 0, 0, dxDst, dyDst, page->Header(), bits, 0, 0, *width,
                            *height, DDF_BACKGROUNDPAL);
                m_wndFrame.ReleaseDC(pDrawDC);
                m_wndFrame.ReleaseDC(pRealizeDC);
            }
        }
    }

    if (m_bBalloon == 1) DrawLettering();
    CDialog::OnPaint();
}

void CLetteringDlg::OnTempView() {
    m_bTempView = m_bTempView ? FALSE : TRUE;
    InvalidateRect(nullptr, FALSE);
}

void CLetteringDlg::OnZoomIn() {
    m_dZoomX += kZoomStep;
    m_dZoomY += kZoomStep;
    InvalidateRect(nullptr, FALSE);
}

void CLetteringDlg::OnZoomOut() {
    m_dZoomX -= kZoomStep;
    m_dZoomY -= kZoomStep;
    InvalidateRect(nullptr, FALSE);
}
