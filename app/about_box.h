// The about box, opened from the editor's system menu.
#pragma once

#include "platform/windows/afxwin.h"

class CAboutBox : public CDialog {
public:
    CAboutBox();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
