// The lettering editor: the program's only main window. It holds the page frame, the balloon
// text box, the position and size boxes and the command buttons, and all the editor's state.
#pragma once

#include <memory>

#include "imagefile/page_image.h"
#include "platform/drawdib/vfw.h"
#include "platform/windows/afxwin.h"

class CLetteringDlg : public CDialog {
public:
    explicit CLetteringDlg(CWnd* pParent = nullptr);
    ~CLetteringDlg() override;

    BOOL OnInitDialog() override;

    // Reads the open page file into a new block (the file minus its 14-byte header); the file's
    // header goes into m_pageHeader. Null when the file is too short, not a bitmap, or short.
    std::unique_ptr<PageImage> LoadPageImage(CFile& file);

    // Writes the frame's on-screen pixels (0, 0, width, height) as a 24-bit BMP file.
    void SaveFrameSnapshot(CDC* pSourceDC, LPCSTR pszPath, int nWidth, int nHeight);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCancel() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnZoomIn();
    void OnBalloon();
    void OnSave();
    void OnTempSave();
    void OnTempView();
    void OnZoomOut();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnFrameClicked();

public:
    // The lettering step of the paint pass: the balloon text over the page. Public so that the
    // benchmarks can time it alone.
    void DrawLettering();

    BOOL m_bTempView;
    double m_dZoomY;
    double m_dZoomX;
    BOOL m_bBalloon;
    HDRAWDIB m_hDrawDib;
    BITMAPFILEHEADER m_pageHeader;
    CEdit m_wndText;
    CStatic m_wndFrame;
    int m_nTop;
    int m_nLeft;
    int m_nFontSize;
    HICON m_hIcon;

    DECLARE_MESSAGE_MAP()
};
