// Replacing a file's content through a synced temporary file and a rename, so
// that a crash, a full disk or a failed write never leaves a truncated file.
#include "support/safe_file_write.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "support/debug_log.h"
#include "support/text_utils.h"

namespace {

// "Error in trel_safe_file_write(), <what> '<path>': <reason>". The reason is
// taken with the reentrant call because the updater thread saves files too.
void report_failure(const char *what, const std::string &path, int error_number) {
  char reason_buffer[256];
  const char *reason = strerror_r(error_number, reason_buffer, sizeof reason_buffer);
  trel_bounded_text message;
  message.append("Error in trel_safe_file_write(), ");
  message.append(what);
  message.append(" '");
  message.append(path.c_str());
  message.append("': ");
  message.append(reason ? reason : "unknown error");
  trel_report(message.text, TREL_REPORT_ERROR, TREL_SOURCE_FILES);
}

// Writes all of data to descriptor, resuming after short writes and signals.
// Returns 0 with errno set when the system refuses part of it.
int write_all(int descriptor, const char *data, std::size_t length) {
  while (length > 0) {
    ssize_t written = write(descriptor, data, length);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return 0;
    }
    if (written == 0) {
      errno = ENOSPC;
      return 0;
    }
    data += written;
    length -= static_cast<std::size_t>(written);
  }
  return 1;
}

// The directory part of path ("." when it has none), for syncing the rename.
std::string directory_of(const std::string &path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  if (slash == 0)
    return "/";
  return path.substr(0, slash);
}

// Makes the rename itself durable. A failure here only weakens durability
// after a power cut (the data and the rename are done), so it is not reported.
void sync_directory(const std::string &path) {
  int descriptor = open(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0)
    return;
  fsync(descriptor);
  close(descriptor);
}

} // namespace

int trel_safe_file_write(const char *path, const char *data, std::size_t length) {
  if (!path || !*path || (!data && length > 0)) {
    trel_report("Error in trel_safe_file_write(), NULL path or data.", TREL_REPORT_ERROR,
                TREL_SOURCE_FILES);
    return TREL_SAFE_WRITE_BAD_ARGUMENT;
  }
  const std::string target = path;
  // A unique name beside the target: the rename must stay inside one file
  // system, and an exclusive create never follows a planted link.
  std::string temporary = target + ".XXXXXX";
  int descriptor = mkostemp(&temporary[0], O_CLOEXEC);
  if (descriptor < 0) {
    report_failure("unable to create a temporary file for", target, errno);
    return TREL_SAFE_WRITE_OPEN_FAILED;
  }
  int failed_errno = 0;
  if (!write_all(descriptor, data, length) || fsync(descriptor) != 0)
    failed_errno = errno;
  // close can report a delayed write error (NFS, quota), so it counts too.
  if (close(descriptor) != 0 && failed_errno == 0)
    failed_errno = errno;
  if (failed_errno != 0) {
    report_failure("unable to write the temporary file", temporary, failed_errno);
    unlink(temporary.c_str());
    return TREL_SAFE_WRITE_WRITE_FAILED;
  }
  if (rename(temporary.c_str(), target.c_str()) != 0) {
    report_failure("unable to rename the temporary file over", target, errno);
    unlink(temporary.c_str());
    return TREL_SAFE_WRITE_RENAME_FAILED;
  }
  sync_directory(target);
  return TREL_SAFE_WRITE_OK;
}
