// The launcher arguments "-l" and "-n".
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string parse(std::vector<std::string> args) {
  launcher_version[0] = 0;
  args.insert(args.begin(), "/usr/bin/quenmar");
  std::vector<const char *> argv;
  for (const std::string &a : args)
    argv.push_back(a.c_str());
  parse_command_line(static_cast<int>(argv.size()), argv.data());
  return launcher_version;
}

TEST(CommandLine, LauncherArguments) {
  const std::string long_version(300, 'v');
  struct row {
    std::vector<std::string> args;
    std::string version;
  } rows[] = {
      {{}, ""},
      {{"-l", "2.3"}, "2.3"},
      {{"-L", "2.3"}, "2.3"},
      {{"-n"}, "(old style launcher)"},
      {{"-N"}, "(old style launcher)"},
      {{"-l", "-n"}, "-n"},
      {{"-l"}, ""},
      {{"-l", long_version}, long_version.substr(0, 256)},
      {{"--unknown", "-l", "1.0"}, "1.0"},
      {{"-n", "-l", "4.5"}, "4.5"},
  };
  for (const row &r : rows) {
    std::string joined;
    for (const std::string &a : r.args)
      joined += a.substr(0, 12) + " ";
    EXPECT_EQ(parse(r.args), r.version) << "arguments: " << joined;
  }
}

} // namespace
