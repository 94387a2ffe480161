// Replacing a file's content in one step: the new content goes to a temporary
// file beside it, reaches the disk, and only then takes the old file's name.
#pragma once
#include <cstddef>

// Results of trel_safe_file_write; every failure leaves the old file as it was
// and removes the temporary file.
constexpr int TREL_SAFE_WRITE_OK = 1;
// The temporary file could not be created (missing directory, no space, ...).
constexpr int TREL_SAFE_WRITE_OPEN_FAILED = -1;
// Writing, flushing or closing the temporary file failed (a full disk, a file
// size limit, an I/O error).
constexpr int TREL_SAFE_WRITE_WRITE_FAILED = -2;
// The finished temporary file could not be renamed over the target (for
// example because a directory stands where the file should be).
constexpr int TREL_SAFE_WRITE_RENAME_FAILED = -3;
// A null path or null data with a non-zero length.
constexpr int TREL_SAFE_WRITE_BAD_ARGUMENT = -4;

// Writes length bytes of data to path so that path holds either its old
// content or the whole new content, whatever happens on the way: the data goes
// to a fresh temporary file in the same directory (created exclusively, mode
// 0600), is synced to the disk and then renamed over path. Returns
// TREL_SAFE_WRITE_OK or one of the negative codes above; failures are also
// reported with the system's reason.
int trel_safe_file_write(const char *path, const char *data, std::size_t length);
