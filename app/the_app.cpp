// The one application object of the program.
#include "app/lettering_app.h"

CLetteringApp theApp;
