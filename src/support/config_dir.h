// The per-user configuration directory, chosen once at start-up from four
// candidates (the hidden directory in HOME first).
#pragma once

// Returns true when a writable directory was found (and kept).
bool trel_client_set_up_config_directory(const char *base_name);
// The chosen path without a trailing slash, or nullptr before a successful set-up.
const char *trel_client_get_config_directory();
