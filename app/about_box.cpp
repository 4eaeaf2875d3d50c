#include "app/about_box.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CAboutBox, CDialog)
END_MESSAGE_MAP()

CAboutBox::CAboutBox() : CDialog(IDD_ABOUT) {}

void CAboutBox::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }
