// The socket library's own numeric error codes, the mapping from errno to
// them, and the test for the codes that only mean "nothing to do yet".
#pragma once

// Every failure of the socket calls is one of these small negative numbers.
// They are part of the interface: callers store and compare them.
constexpr int TREL_SOCKET_OTHER_ERROR = -1;
constexpr int TREL_SOCKET_NO_ERROR = -2;
constexpr int TREL_SOCKET_BAD_ARGUMENT = -11;
constexpr int TREL_SOCKET_FAULT = -12;
constexpr int TREL_SOCKET_NO_DESCRIPTORS = -13;
constexpr int TREL_SOCKET_NO_MEMORY = -14;
constexpr int TREL_SOCKET_TOO_BIG = -15;
constexpr int TREL_SOCKET_ADDRESS_IN_USE = -16;
constexpr int TREL_SOCKET_BROKEN_PIPE = -20;
constexpr int TREL_SOCKET_RESET = -21;
constexpr int TREL_SOCKET_HOST_DOWN = -22;
constexpr int TREL_SOCKET_HOST_UNREACHABLE = -23;
constexpr int TREL_SOCKET_NETWORK_DOWN = -24;
constexpr int TREL_SOCKET_NETWORK_UNREACHABLE = -25;
constexpr int TREL_SOCKET_NETWORK_RESET = -26;
constexpr int TREL_SOCKET_WOULD_BLOCK = -30;
constexpr int TREL_SOCKET_IN_PROGRESS = -31;
constexpr int TREL_SOCKET_INTERRUPTED = -32;
constexpr int TREL_SOCKET_REFUSED = -40;
constexpr int TREL_SOCKET_TIMEOUT = -41;
constexpr int TREL_SOCKET_ALREADY = -42;
constexpr int TREL_SOCKET_IS_CONNECTED = -43;
constexpr int TREL_SOCKET_NOT_CONNECTED = -44;

// The code for an errno value (0 gives TREL_SOCKET_NO_ERROR); values without
// a code of their own give TREL_SOCKET_OTHER_ERROR.
int trel_map_socket_error(int errno_value);

// 1 for the codes that mean the operation has nothing to do yet (no error,
// would block, in progress, interrupted), 0 for every other code.
int trel_socket_error_is_transient(int code);
