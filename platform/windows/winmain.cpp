// The process entry: the framework runs the application object the program defines.
#include "platform/windows/afxwin.h"

int main(int argc, char** argv) { return platform::RunApplication(argc, argv); }
