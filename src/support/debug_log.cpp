// The debug log: the global debug level, the lazily opened destination (an
// explicit file, the automatic file in /tmp/, or standard output) and the
// support library's reporting filter.
#include "support/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "support/signal_safe_logfile.h"

int debug_level = 1;

namespace {

// One debug message is cut at 10239 characters.
constexpr int message_buffer_size = 10240;

struct log_state {
  trel_signal_safe_logfile file;
  bool has_path = false;
  std::string path;
  // The path was made from the automatic name in a shared directory and must
  // be opened without following links.
  bool path_is_automatic = false;
  bool has_automatic_name = false;
  std::string automatic_name;
  std::string automatic_directory = "/tmp/";
  int failed = 0;
};

// Created on first use and never destroyed, so that messages written during
// static construction or from threads still running at exit find it intact.
log_state &state() {
  static log_state *instance = new log_state;
  return *instance;
}

void forget_names(log_state &s) {
  s.has_path = false;
  s.path.clear();
  s.path_is_automatic = false;
  s.has_automatic_name = false;
  s.automatic_name.clear();
  s.failed = 0;
}

void report_with_path(const char *before, const std::string &path, const char *after) {
  std::string message = before;
  message += path;
  message += after;
  trel_report(message.c_str(), TREL_REPORT_VERBOSE, TREL_SOURCE_LOG);
}

void automatic_open_attempt() {
  log_state &s = state();
  if (s.file.is_open() || s.failed)
    return;
  if (!s.has_path && s.has_automatic_name) {
    s.path = s.automatic_directory + s.automatic_name;
    s.has_path = true;
    s.path_is_automatic = true;
  }
  trel_client_try_open_debug_logfile();
}

} // namespace

void trel_client_debug_printf(const char *format, ...) {
  log_state &s = state();
  if (!s.file.is_open()) {
    if (s.failed)
      return;
    automatic_open_attempt();
    if (s.failed || !s.file.is_open())
      return;
  }
  char buffer[message_buffer_size];
  va_list arguments;
  va_start(arguments, format);
  int length = vsnprintf(buffer, sizeof buffer, format ? format : "(null)", arguments);
  va_end(arguments);
  if (length < 0)
    return;
  s.file.write(buffer);
}

void trel_report(const char *message, int category, int /*source*/) {
  if (category == 0)
    return;
  int needed = (category & TREL_REPORT_VERBOSE) ? 3 : 1;
  if (debug_level < needed)
    return;
  trel_client_debug_printf("%s\n", message ? message : "(null)");
}

void trel_client_set_autoopen_debug_logfile_name(const char *name) {
  log_state &s = state();
  if (s.file.is_open()) {
    trel_report("Error in trel_client_set_autoopen_debug_logfile_name(), logfile already open.",
                TREL_REPORT_ERROR, TREL_SOURCE_LOG);
    return;
  }
  forget_names(s);
  if (name) {
    s.automatic_name = name;
    s.has_automatic_name = true;
  }
}

void trel_client_set_debug_logfile_name(const char *name) {
  log_state &s = state();
  if (s.file.is_open()) {
    trel_report("Error in trel_client_set_debug_logfile_name(), logfile already open.",
                TREL_REPORT_ERROR, TREL_SOURCE_LOG);
    return;
  }
  forget_names(s);
  if (name) {
    s.path = name;
    s.has_path = true;
  }
}

void trel_client_try_open_debug_logfile() {
  log_state &s = state();
  if (s.file.is_open()) {
    trel_report("Error in trel_client_try_open_debug_logfile(), logfile already open.",
                TREL_REPORT_ERROR, TREL_SOURCE_LOG);
    return;
  }
  // The flag is settled before reporting: the report goes through the log
  // itself, so a failure report is dropped and a success report lands in the
  // new file.
  if (s.has_path) {
    int opened =
        s.path_is_automatic ? s.file.open_private(s.path.c_str()) : s.file.open(s.path.c_str());
    if (opened) {
      s.failed = 0;
      report_with_path("trel_client_try_open_debug_logfile() opened logfile '", s.path, "'");
    } else {
      s.failed = 1;
      report_with_path("trel_client_try_open_debug_logfile() failed to open logfile '", s.path,
                       "'");
    }
    return;
  }
  if (s.file.open_standard_output()) {
    s.failed = 0;
    trel_report("trel_client_try_open_debug_logfile() - using STDOUT.", TREL_REPORT_VERBOSE,
                TREL_SOURCE_LOG);
  } else {
    s.failed = 1;
    trel_report("trel_client_try_open_debug_logfile() - unable to use STDOUT for log data.",
                TREL_REPORT_VERBOSE, TREL_SOURCE_LOG);
  }
}

void trel_client_debug_logfile_close() {
  log_state &s = state();
  if (!s.file.is_open()) {
    trel_report("Error in trel_client_debug_logfile_close(), no logfile open.", TREL_REPORT_ERROR,
                TREL_SOURCE_LOG);
    return;
  }
  s.file.close();
  forget_names(s);
}

bool trel_client_debug_logfile_is_open() {
  return state().file.is_open();
}

const char *trel_client_get_debug_logfile_path() {
  automatic_open_attempt();
  log_state &s = state();
  return s.has_path ? s.path.c_str() : nullptr;
}

bool trel_client_debug_logfile_failed() {
  automatic_open_attempt();
  return state().failed != 0;
}

const char *trel_client_get_autoopen_debug_logfile_name() {
  log_state &s = state();
  return s.has_automatic_name ? s.automatic_name.c_str() : nullptr;
}

void trel_client_set_autoopen_debug_logfile_directory(const char *prefix) {
  state().automatic_directory = prefix ? prefix : "/tmp/";
}
