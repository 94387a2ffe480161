// Directory creation, the writable-directory probe and the advisory lock file.
#pragma once
#include <sys/types.h>

#include "support/text_utils.h"

// Creates every directory of path up to its last separator ("/" or "\"); the
// part after it names a file and is not created, so "a/b/" makes a and a/b.
// Existing directories are fine. On failure the path built so far is appended
// to error_text (when given) and 0 is returned; 1 otherwise.
int trel_recursive_mkdir(const char *path, mode_t mode, trel_bounded_text *error_text);

// Creates directory and its parents (always mode 0700, whatever mode says) and
// proves it writable by creating and deleting "xx-rw-test.qqq" in it. 1 when
// usable; on failure the failing path is appended to error_text (when given).
int trel_create_and_check_writeable_directory(const char *directory, mode_t mode,
                                              trel_bounded_text *error_text);

// Opens (creating, mode 0600) and locks path without waiting. Returns the
// descriptor, or -1 when it cannot be opened or another process holds the lock.
int lock_file(const char *path);
// Releases and closes a descriptor from lock_file; 1 when the release worked,
// 0 for a negative descriptor or a failed release.
int unlock_file(int descriptor);
