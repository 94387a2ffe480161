// The errno mapping and the transient codes: the codes are an interface the
// connection and download code compare against.
#include <gtest/gtest.h>

#include <cerrno>

#include "net/error_codes.h"

namespace {

struct errno_case {
  int errno_value;
  int code;
};

TEST(socket_error_codes, every_listed_errno_maps_to_its_code) {
  const errno_case cases[] = {
      {0, -2},
      {EBADF, -11},
      {EINVAL, -11},
      {EBADFD, -11},
      {ENOTSOCK, -11},
      {EFAULT, -12},
      {ENFILE, -13},
      {EMFILE, -13},
      {ENOMEM, -14},
      {ENOBUFS, -14},
      {EMSGSIZE, -15},
      {EADDRINUSE, -16},
      {EPIPE, -20},
      {ESHUTDOWN, -20},
      {ECONNABORTED, -21},
      {ECONNRESET, -21},
      {EHOSTDOWN, -22},
      {EHOSTUNREACH, -23},
      {ENETDOWN, -24},
      {ENETUNREACH, -25},
      {ENETRESET, -26},
      {EAGAIN, -30},
      {EWOULDBLOCK, -30},
      {ERESTART, -30},
      {EINPROGRESS, -31},
      {EINTR, -32},
      {ECONNREFUSED, -40},
      {ETIMEDOUT, -41},
      {EALREADY, -42},
      {EISCONN, -43},
      {ENOTCONN, -44},
  };
  for (const errno_case &c : cases)
    EXPECT_EQ(c.code, trel_map_socket_error(c.errno_value)) << "errno " << c.errno_value;
}

TEST(socket_error_codes, unlisted_errno_values_are_other_errors) {
  for (int value : {ENOENT, EACCES, EPERM, EIO, 100000, -5})
    EXPECT_EQ(-1, trel_map_socket_error(value)) << "errno " << value;
}

TEST(socket_error_codes, only_nothing_to_do_yet_codes_are_transient) {
  for (int code : {-2, -30, -31, -32})
    EXPECT_EQ(1, trel_socket_error_is_transient(code)) << code;
  for (int code : {0, -1, -11, -20, -21, -40, -41, -42, -43, -44})
    EXPECT_EQ(0, trel_socket_error_is_transient(code)) << code;
}

} // namespace
