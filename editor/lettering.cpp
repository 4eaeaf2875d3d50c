// Balloon lettering: a click sets the text's place, "ふきだし" turns the overlay on and off, and
// every paint with the overlay on draws the text over the page.
#include "editor/box_number.h"
#include "editor/lettering_dlg.h"
#include "res/resource.h"

namespace {

// "ＭＳ Ｐゴシック" in the program's code page.
constexpr char kBalloonFace[] = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr LONG kLayoutRight = 130;
constexpr LONG kLayoutBottom = 18;

}  // namespace

void CLetteringDlg::OnBalloon() {
    m_bBalloon = m_bBalloon == 0 ? 1 : 0;
    InvalidateRect(nullptr, FALSE);
}

void CLetteringDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    CString text;
    text.Format("%d", point.y);
    SetDlgItemText(IDC_TOP, text);
    text.Format("%d", point.x);
    SetDlgItemText(IDC_LEFT, text);
    CDialog::OnLButtonDown(nFlags, point);
}

void CLetteringDlg::DrawLettering() {
    CPaintDC dc(&m_wndFrame);

    CString box;
    GetDlgItem(IDC_TOP)->GetWindowText(box);
    const int nTop = AtoiWrapping(box);
    GetDlgItem(IDC_LEFT)->GetWindowText(box);
    const int nLeft = AtoiWrapping(box);
    GetDlgItem(IDC_FONT_SIZE)->GetWindowText(box);
    const int nHeight = AtoiWrapping(box);

    dc.SetBkMode(TRANSPARENT);
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SetTextColor(RGB(0, 0, 0));

    CString text;
    m_wndText.GetWindowText(text);

    CFont font;
    font.CreateFont(nHeight, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 0, kBalloonFace);
    CFont* pOldFont = dc.SelectObject(&font);
    CRect rect(nLeft, nTop, kLayoutRight, kLayoutBottom);
    dc.DrawText(text, text.GetLength(), &rect, DT_NOCLIP);
    if (pOldFont) dc.SelectObject(pOldFont);
    font.DeleteObject();
}
