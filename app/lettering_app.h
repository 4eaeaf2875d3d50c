// The application object: it runs the lettering editor as a modal dialog, and the program
// ends with it.
#pragma once

#include "platform/windows/afxwin.h"

class CLetteringApp : public CWinApp {
public:
    CLetteringApp();
    ~CLetteringApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
