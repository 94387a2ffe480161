// Helpers for the support library's tests: a temporary directory that cleans
// itself up, whole-file reads, and a capture of the debug log into a file.
#pragma once
#include <string>

// A fresh directory under /tmp, removed with its contents on destruction.
class scoped_temp_dir {
public:
  scoped_temp_dir();
  ~scoped_temp_dir();
  scoped_temp_dir(const scoped_temp_dir &) = delete;
  scoped_temp_dir &operator=(const scoped_temp_dir &) = delete;

  const std::string &path() const { return root; }
  // path() + "/" + name
  std::string file(const std::string &name) const { return root + "/" + name; }

private:
  std::string root;
};

// The whole content of a file, or "" when it cannot be read.
std::string read_whole_file(const std::string &path);
bool path_exists(const std::string &path);
void write_whole_file(const std::string &path, const std::string &content);

// Sends the debug log to a file of its own for the life of the object and
// closes it again afterwards, leaving the log closed with no names.
class debug_log_capture {
public:
  explicit debug_log_capture(int level = 1);
  ~debug_log_capture();
  debug_log_capture(const debug_log_capture &) = delete;
  debug_log_capture &operator=(const debug_log_capture &) = delete;

  // Everything written to the log so far.
  std::string text() const;
  const std::string &path() const { return log_path; }

private:
  scoped_temp_dir directory;
  std::string log_path;
  int saved_level;
};

// Closes the debug log if it is open (which also forgets its names) and sets
// the automatic directory back to "/tmp/", without writing any report.
void reset_debug_log();
