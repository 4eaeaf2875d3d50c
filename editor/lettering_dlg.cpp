// The editor dialog: construction, data exchange, initialisation, the system menu and ending.
#include "editor/lettering_dlg.h"

#include "app/about_box.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CLetteringDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ZOOM_IN, OnZoomIn)
    ON_BN_CLICKED(IDC_BALLOON, OnBalloon)
    ON_BN_CLICKED(IDC_SAVE, OnSave)
    ON_BN_CLICKED(IDC_TEMP_SAVE, OnTempSave)
    ON_BN_CLICKED(IDC_TEMP_VIEW, OnTempView)
    ON_BN_CLICKED(IDC_ZOOM_OUT, OnZoomOut)
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_STN_CLICKED(IDC_FRAME, OnFrameClicked)
END_MESSAGE_MAP()

// The state that OnInitDialog gives its first values is left as the constructor finds it.
CLetteringDlg::CLetteringDlg(CWnd* pParent)
    : CDialog(IDD_LETTERING, pParent),
      m_bTempView(FALSE),
      m_dZoomY(0.0),
      m_dZoomX(0.0),
      m_bBalloon(FALSE),
      m_hDrawDib(nullptr),
      m_pageHeader{} {
    m_nTop = 0;
    m_nLeft = 0;
    m_nFontSize = 0;
    m_hIcon = AfxGetApp()->LoadIcon(IDI_MAIN);
}

CLetteringDlg::~CLetteringDlg() = default;

void CLetteringDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TEXT, m_wndText);
    DDX_Control(pDX, IDC_FRAME, m_wndFrame);
    DDX_Text(pDX, IDC_TOP, m_nTop);
    DDX_Text(pDX, IDC_LEFT, m_nLeft);
    DDX_Text(pDX, IDC_FONT_SIZE, m_nFontSize);
}

BOOL CLetteringDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != nullptr) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUT_ITEM);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUT, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_bBalloon = FALSE;
    m_bTempView = FALSE;
    SetDlgItemText(IDC_FONT_SIZE, "15");
    m_dZoomY = 1.0;
    m_dZoomX = 1.0;
    m_hDrawDib = DrawDibOpen();
    return TRUE;
}

void CLetteringDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUT) {
        CAboutBox dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

HCURSOR CLetteringDlg::OnQueryDragIcon() { return m_hIcon; }

void CLetteringDlg::OnCancel() {
    if (m_hDrawDib != nullptr) DrawDibClose(m_hDrawDib);
    CDialog::OnCancel();
}

void CLetteringDlg::OnRButtonDown(UINT nFlags, CPoint point) { CDialog::OnRButtonDown(nFlags, point); }

void CLetteringDlg::OnFrameClicked() {}
