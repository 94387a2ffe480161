// The client's one debug output, the support library's reporting hook, and
// the control of where the debug log goes (a named file, an automatic file in
// /tmp/, or standard output), opened lazily on the first message.
#pragma once

// 0 nothing, 1 errors (default), 2 warnings and progress, 3 verbose.
// Callers test it before formatting a message.
extern int debug_level;

// Category bit that marks a verbose support-library message (level 3 and up).
constexpr int TREL_REPORT_VERBOSE = 256;
// The normal categories of support-library messages (written at level 1 and up).
constexpr int TREL_REPORT_ERROR = 2;
constexpr int TREL_REPORT_WARNING = 4;
constexpr int TREL_REPORT_NOTICE = 16;

// Which support module reports; carried along for the reader of the code only.
enum trel_report_source {
  TREL_SOURCE_LOG = 1,
  TREL_SOURCE_TEXT = 2,
  TREL_SOURCE_FILES = 3,
  TREL_SOURCE_CONTAINERS = 4,
  TREL_SOURCE_MEMORY = 5,
  TREL_SOURCE_THREAD = 6,
  TREL_SOURCE_CONFIG_DIR = 7,
};

// Writes the formatted text as it stands (one write call, cut at 10239 characters).
void trel_client_debug_printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Support-library reporting: category 0 is dropped, verbose (bit 256) needs
// level 3, anything else level 1. Writes the message and a line feed.
void trel_report(const char *message, int category, int source);

void trel_client_set_autoopen_debug_logfile_name(const char *name);
void trel_client_set_debug_logfile_name(const char *name);
void trel_client_try_open_debug_logfile();
void trel_client_debug_logfile_close();
bool trel_client_debug_logfile_is_open();
const char *trel_client_get_debug_logfile_path();
bool trel_client_debug_logfile_failed();
const char *trel_client_get_autoopen_debug_logfile_name();

// Test hook: the directory prefix (ending in "/") that the automatic log name is
// placed in. It is "/tmp/" unless a test points it at a temporary directory;
// nullptr restores "/tmp/".
void trel_client_set_autoopen_debug_logfile_directory(const char *prefix);
