// Command-line reading: only "-l <version>" and "-n" mean anything.
#include "app/command_line.h"

#include "support/debug_log.h"
#include "support/text_utils.h"

#include <cstring>

char launcher_version[LAUNCHER_VERSION_SIZE] = {0};

static void set_launcher_version(const char *text) {
  size_t n = strnlen(text, LAUNCHER_VERSION_SIZE - 1);
  memcpy(launcher_version, text, n);
  launcher_version[n] = 0;
}

void parse_command_line(int argc, const char *const *argv) {
  if (argc > 0 && debug_level >= 2)
    trel_client_debug_printf("DEBUG - Command line executable name:  %s\n", argv[0]);
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (word_equal(arg, "-l")) {
      if (debug_level >= 2)
        trel_client_debug_printf("DEBUG - Command line launcher flag:    %s\n", arg);
      if (i + 1 < argc) {
        // The version text is taken as it is, even when it looks like an option.
        i++;
        set_launcher_version(argv[i]);
        if (debug_level >= 2)
          trel_client_debug_printf("DEBUG - Command line launcher version: %s\n", argv[i]);
      }
    } else if (word_equal(arg, "-n")) {
      set_launcher_version("(old style launcher)");
      if (debug_level >= 2)
        trel_client_debug_printf("DEBUG - Command line old launcher:     %s\n", arg);
    } else if (debug_level >= 2) {
      trel_client_debug_printf("DEBUG - Unknown command line arg:      %s\n", arg);
    }
  }
}
