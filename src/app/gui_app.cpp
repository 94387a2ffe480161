// The boot sequence, in its fixed order, and the exit banner.
#include "app/gui_app.h"

#include "config/config_store.h"
#include "app/builtin_images.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/shared_fonts.h"
#include "net/ssl_startup.h"
#include "support/config_dir.h"
#include "support/debug_log.h"
#include "support/random.h"

#include <wx/display.h>
#include <wx/image.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

int screen_width = 640;
int screen_height = 480;

[[noreturn]] static void boot_failed(const char *message) {
  if (debug_level >= 1)
    trel_client_debug_printf("%s", message);
  std::exit(1);
}

// The display that holds the window, with the 640 x 480 fallback for a bogus area.
static void measure_screen(wxWindow *window) {
  int index = wxDisplay::GetFromWindow(window);
  wxDisplay display(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index));
  wxRect area = display.GetClientArea();
  screen_width = area.GetWidth();
  screen_height = area.GetHeight();
  if (screen_width < 1) {
    if (debug_level >= 1)
      trel_client_debug_printf(
          "Error in OnInit(), got bogus screen/display xsize of %d.  Setting to 640.\n",
          screen_width);
    screen_width = 640;
  }
  if (screen_height < 1) {
    if (debug_level >= 1)
      trel_client_debug_printf(
          "Error in OnInit(), got bogus screen/display ysize of %d.  Setting to 480.\n",
          screen_height);
    screen_height = 480;
  }
  if (debug_level >= 2)
    trel_client_debug_printf("OnInit(), got screen/display size of %d, %d.\n", screen_width,
                             screen_height);
}

bool trel_gui_app::OnInit() {
  // The toolkit's own command-line parsing is skipped on purpose: the
  // launcher's arguments reach parse_command_line untouched.
  trel_client_set_autoopen_debug_logfile_name("quenmar_zolvent.txt");
  if (debug_level >= 2)
    trel_client_debug_printf("--------------------------- BOOT START --------------------------\n");
  signal(SIGPIPE, SIG_IGN);
  if (!trel_ssl_startup())
    boot_failed("Boot failed, SSL startup is broken.\n");
  if (!trel_client_set_up_config_directory("Quenmar"))
    boot_failed("Boot failed, unable to get at system config directory.\n");
  trel_process_random().stir(static_cast<uint32_t>(time(nullptr)));

  wxImage::AddHandler(new wxPNGHandler);
  decode_builtin_images();
  create_shared_fonts(trel_config().fonts.main_size_setting);
  trel_config().load_system_config();
  // The loaded character set may ask for another text size.
  int size = trel_config().get_font_size();
  if (size >= 3 && size != main_font->GetPointSize())
    main_font->SetPointSize(size);

  std::vector<std::string> args;
  for (int i = 0; i < argc; i++)
    args.push_back(std::string(argv[i].utf8_str()));
  std::vector<const char *> arg_pointers;
  for (const std::string &a : args)
    arg_pointers.push_back(a.c_str());
  parse_command_line(static_cast<int>(arg_pointers.size()), arg_pointers.data());

  // Nothing in the client handles idle events; sending them only to windows
  // that ask keeps the idle loop cheap between ticks.
  wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
  wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);
  auto *frame = new trel_mw("Quenmar", wxDefaultPosition, wxSize(984, 728));
  frame->Show(true);
  SetTopWindow(frame);
  measure_screen(frame);
  return true;
}

int trel_gui_app::OnExit() {
  if (debug_level >= 2)
    trel_client_debug_printf(
        "--------------------------- PROGRAM EXIT --------------------------\n");
  return 0;
}
