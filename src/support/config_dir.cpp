// The per-user configuration directory: the first writable one of four
// candidates, chosen at start-up.
#include "support/config_dir.h"

#include <cstdlib>
#include <string>

#include "support/debug_log.h"
#include "support/file_utils.h"
#include "support/text_utils.h"

namespace {

// The chosen path; never destroyed, so that late users at exit still find it.
std::string *&chosen_slot() {
  static std::string *path = nullptr;
  return path;
}

// Composes "before + value + after" into a bounded text and reports it.
void report_composed(const char *before, const char *value, const char *after, int category) {
  trel_bounded_text message;
  message.append(before);
  message.append(value);
  message.append(after);
  trel_report(message.text, category, TREL_SOURCE_CONFIG_DIR);
}

// One candidate: created if missing and proved writable. A candidate that would
// not fit in a composed path is failed rather than cut, since a cut path names
// some other directory.
bool check_candidate(const std::string &candidate) {
  bool fits = candidate.size() <= static_cast<size_t>(TREL_TEXT_SIZE - 1);
  bool good =
      fits && trel_create_and_check_writeable_directory(candidate.c_str(), 0700, nullptr) != 0;
  report_composed("Checking config directory: ", candidate.c_str(), good ? "" : " [FAIL]",
                  TREL_REPORT_VERBOSE);
  return good;
}

} // namespace

bool trel_client_set_up_config_directory(const char *base_name) {
  if (!base_name)
    return false;
  std::string *&chosen = chosen_slot();
  if (chosen) {
    trel_report("Error in trel_client_set_up_config_directory(), attempt to change config "
                "directory path after initial configuration.",
                TREL_REPORT_ERROR, TREL_SOURCE_CONFIG_DIR);
    trel_bounded_text message;
    message.append("Old path '");
    message.append(chosen->c_str());
    message.append("', new base name '");
    message.append(base_name);
    message.append("'");
    trel_report(message.text, TREL_REPORT_VERBOSE, TREL_SOURCE_CONFIG_DIR);
  }
  const char *home = getenv("HOME");
  if (!home) {
    trel_report("Error in trel_client_set_up_config_directory(), unable to fetch home directory "
                "- please set HOME environment variable and restart.",
                TREL_REPORT_ERROR, TREL_SOURCE_CONFIG_DIR);
    return false;
  }
  const std::string base = base_name;
  const std::string candidates[] = {
      std::string(home) + "/." + base,
      "." + base,
      "/tmp/" + base,
      base,
  };
  for (const std::string &candidate : candidates) {
    if (!check_candidate(candidate))
      continue;
    if (chosen)
      *chosen = candidate;
    else
      chosen = new std::string(candidate);
    report_composed("trel_client_set_up_config_directory() - got final config directory '",
                    candidate.c_str(), "'", TREL_REPORT_VERBOSE);
    return true;
  }
  trel_report("trel_client_set_up_config_directory() - Giving up.  Cannot create config directory.",
              TREL_REPORT_ERROR, TREL_SOURCE_CONFIG_DIR);
  return false;
}

const char *trel_client_get_config_directory() {
  std::string *chosen = chosen_slot();
  return chosen ? chosen->c_str() : nullptr;
}
