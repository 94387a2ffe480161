// trel_gui_app: the toolkit application object; OnInit runs the boot sequence.
#pragma once
#include <wx/app.h>

class trel_gui_app : public wxApp {
public:
  bool OnInit() override;
  int OnExit() override;
};

// The display's client area, measured once after the main window is shown.
extern int screen_width;
extern int screen_height;
