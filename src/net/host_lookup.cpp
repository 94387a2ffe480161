// Host name lookup: dotted decimal addresses directly, all else through getaddrinfo.
#include "net/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstring>

int trel_parse_numeric_ipv4(const char *text, in_addr_t *result) {
  if (!text)
    return 0;
  // Four decimal numbers of at most 255, separated by exactly three dots, with
  // 4 to 12 digits in all. The address is assembled from the decimal values
  // rather than handed to inet_addr, which would read "010" as octal 8 and
  // turn "09" into the broadcast address.
  unsigned int parts[4] = {0, 0, 0, 0};
  int part = 0;
  int digits = 0;
  int digits_in_part = 0;
  for (const char *c = text; *c; ++c) {
    if (*c >= '0' && *c <= '9') {
      if (++digits > 12)
        return 0;
      ++digits_in_part;
      parts[part] = parts[part] * 10 + static_cast<unsigned int>(*c - '0');
      if (parts[part] > 255)
        return 0;
    } else if (*c == '.') {
      if (digits_in_part == 0 || part == 3)
        return 0;
      ++part;
      digits_in_part = 0;
    } else {
      return 0;
    }
  }
  if (part != 3 || digits_in_part == 0 || digits < 4)
    return 0;
  if (result)
    *result = htonl((parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3]);
  return 1;
}

int lookup_host_address(const char *host, sockaddr_in *address) {
  if (!host || !address)
    return 0;
  in_addr_t numeric = 0;
  if (trel_parse_numeric_ipv4(host, &numeric)) {
    address->sin_family = AF_INET;
    address->sin_addr.s_addr = numeric;
    return 1;
  }
  addrinfo hints;
  memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  addrinfo *found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found)
    return 0;
  int result = 0;
  for (addrinfo *entry = found; entry; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET && entry->ai_addr &&
        entry->ai_addrlen >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
      const sockaddr_in *ipv4 = reinterpret_cast<const sockaddr_in *>(entry->ai_addr);
      address->sin_family = AF_INET;
      address->sin_addr = ipv4->sin_addr;
      result = 1;
      break;
    }
  }
  freeaddrinfo(found);
  return result;
}
