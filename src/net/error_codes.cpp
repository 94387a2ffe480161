// The errno to socket error code mapping.
#include "net/error_codes.h"

#include <cerrno>

int trel_map_socket_error(int errno_value) {
  switch (errno_value) {
  case 0:
    return TREL_SOCKET_NO_ERROR;
  case EBADF:
  case EINVAL:
  case EBADFD:
  case ENOTSOCK:
    return TREL_SOCKET_BAD_ARGUMENT;
  case EFAULT:
    return TREL_SOCKET_FAULT;
  case ENFILE:
  case EMFILE:
    return TREL_SOCKET_NO_DESCRIPTORS;
  case ENOMEM:
  case ENOBUFS:
    return TREL_SOCKET_NO_MEMORY;
  case EMSGSIZE:
    return TREL_SOCKET_TOO_BIG;
  case EADDRINUSE:
    return TREL_SOCKET_ADDRESS_IN_USE;
  case EPIPE:
  case ESHUTDOWN:
    return TREL_SOCKET_BROKEN_PIPE;
  case ECONNABORTED:
  case ECONNRESET:
    return TREL_SOCKET_RESET;
  case EHOSTDOWN:
    return TREL_SOCKET_HOST_DOWN;
  case EHOSTUNREACH:
    return TREL_SOCKET_HOST_UNREACHABLE;
  case ENETDOWN:
    return TREL_SOCKET_NETWORK_DOWN;
  case ENETUNREACH:
    return TREL_SOCKET_NETWORK_UNREACHABLE;
  case ENETRESET:
    return TREL_SOCKET_NETWORK_RESET;
  // EWOULDBLOCK is EAGAIN on Linux; a separate case label would not compile.
  case EAGAIN:
  case ERESTART:
    return TREL_SOCKET_WOULD_BLOCK;
  case EINPROGRESS:
    return TREL_SOCKET_IN_PROGRESS;
  case EINTR:
    return TREL_SOCKET_INTERRUPTED;
  case ECONNREFUSED:
    return TREL_SOCKET_REFUSED;
  case ETIMEDOUT:
    return TREL_SOCKET_TIMEOUT;
  case EALREADY:
    return TREL_SOCKET_ALREADY;
  case EISCONN:
    return TREL_SOCKET_IS_CONNECTED;
  case ENOTCONN:
    return TREL_SOCKET_NOT_CONNECTED;
  default:
    return TREL_SOCKET_OTHER_ERROR;
  }
}

int trel_socket_error_is_transient(int code) {
  return code == TREL_SOCKET_NO_ERROR || code == TREL_SOCKET_WOULD_BLOCK ||
         code == TREL_SOCKET_IN_PROGRESS || code == TREL_SOCKET_INTERRUPTED;
}
