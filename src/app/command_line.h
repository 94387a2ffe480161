// The launcher's arguments: "-l" with its version text, or "-n".
#pragma once

constexpr int LAUNCHER_VERSION_SIZE = 257;

// The launcher's version text, empty when none was given.
extern char launcher_version[LAUNCHER_VERSION_SIZE];

// Reads argv[1..argc-1] into the launcher version text (argv[0] is the
// program's path). Options are compared as words, ignoring case.
void parse_command_line(int argc, const char *const *argv);
