// The debug log's file writer. Its own failures are reported through the
// debug log, which writes through this same writer; the nesting depth keeps
// that from looping.
#include "support/signal_safe_logfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/debug_log.h"

int trel_signal_safe_logfile::open(const char *path) {
  close();
  if (!path)
    return 0;
  int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  // Descriptor 0 is a valid file when standard input was closed; treating it
  // as a failure would leak it and lose the log.
  if (fd < 0)
    return 0;
  descriptor = fd;
  return 1;
}

int trel_signal_safe_logfile::open_private(const char *path) {
  close();
  if (!path)
    return 0;
  // O_NOFOLLOW: a link planted at the name must not redirect the log.
  // O_NONBLOCK: a planted FIFO must not hang the open; it is cleared again below.
  int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd < 0)
    return 0;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return 0;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0)
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  descriptor = fd;
  return 1;
}

int trel_signal_safe_logfile::open_standard_output() {
  close();
  int fd = dup(1);
  if (fd < 0)
    return 0;
  descriptor = fd;
  return 1;
}

void trel_signal_safe_logfile::close() {
  if (descriptor >= 0)
    ::close(descriptor);
  descriptor = -1;
}

int trel_signal_safe_logfile::write(const char *text) {
  int entered = depth.load();
  if (entered > recursion_limit)
    return 0;
  if (entered == recursion_limit) {
    depth.fetch_add(1);
    trel_report("Error in trel_signal_safe_logfile::write(), recursion limiter triggered.",
                TREL_REPORT_ERROR, TREL_SOURCE_LOG);
    depth.fetch_sub(1);
    return 0;
  }
  depth.fetch_add(1);
  const char *data = text ? text : "(null)";
  size_t length = strlen(data);
  ssize_t written = ::write(descriptor, data, length);
  int result;
  if (written >= 0 && static_cast<size_t>(written) == length) {
    write_failure_reported = 0;
    result = 1;
  } else {
    if (!write_failure_reported) {
      // Set before reporting: the report comes back through this writer.
      write_failure_reported = 1;
      trel_report("Error in trel_signal_safe_logfile::write(), write failed.", TREL_REPORT_ERROR,
                  TREL_SOURCE_LOG);
    }
    result = 0;
  }
  depth.fetch_sub(1);
  return result;
}
