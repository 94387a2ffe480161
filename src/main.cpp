// The program's entry: hands control to the toolkit, which runs trel_gui_app.
#include "app/gui_app.h"

wxIMPLEMENT_APP(trel_gui_app);
