// Directory creation, the writable-directory probe and the advisory lock file.
#include "support/file_utils.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/debug_log.h"

namespace {

bool is_path_separator(char c) {
  return c == '/' || c == '\\';
}

bool is_directory(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void note_path(trel_bounded_text *error_text, const std::string &path) {
  if (error_text)
    error_text->append(path.c_str());
}

} // namespace

int trel_recursive_mkdir(const char *path, mode_t mode, trel_bounded_text *error_text) {
  if (!path) {
    trel_report("Error in trel_recursive_mkdir(), NULL path.", TREL_REPORT_ERROR,
                TREL_SOURCE_FILES);
    return 0;
  }
  std::string built;
  const char *p = path;
  if (is_path_separator(*p))
    built = "/";
  for (;;) {
    while (is_path_separator(*p))
      p++;
    const char *start = p;
    while (*p && !is_path_separator(*p))
      p++;
    // The last part (no separator after it) names a file: leave it alone.
    if (!*p || p == start)
      break;
    built.append(start, static_cast<size_t>(p - start));
    if (mkdir(built.c_str(), mode) != 0 && !(errno == EEXIST && is_directory(built))) {
      note_path(error_text, built);
      return 0;
    }
    built += '/';
  }
  return 1;
}

int trel_create_and_check_writeable_directory(const char *directory, mode_t /*mode*/,
                                              trel_bounded_text *error_text) {
  if (!directory) {
    trel_report("Error in trel_create_and_check_writeable_directory(), NULL path.",
                TREL_REPORT_ERROR, TREL_SOURCE_FILES);
    return 0;
  }
  // An empty name would turn into "/" below and probe the root directory.
  if (!*directory)
    return 0;
  // The trailing separator makes the last part a directory to create too.
  std::string with_separator = directory;
  with_separator += '/';
  if (!trel_recursive_mkdir(with_separator.c_str(), 0700, error_text))
    return 0;
  std::string probe = with_separator + "xx-rw-test.qqq";
  int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    note_path(error_text, probe);
    return 0;
  }
  close(fd);
  if (unlink(probe.c_str()) != 0) {
    note_path(error_text, probe);
    return 0;
  }
  return 1;
}

int lock_file(const char *path) {
  if (!path)
    return -1;
  int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0)
    return -1;
  if (lockf(fd, F_TLOCK, 0) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int unlock_file(int descriptor) {
  if (descriptor < 0)
    return 0;
  // The lock covers the file from the position it was taken at, which is the start.
  lseek(descriptor, 0, SEEK_SET);
  int released = lockf(descriptor, F_ULOCK, 0) == 0;
  close(descriptor);
  return released;
}
