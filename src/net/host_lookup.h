// Turning a host name or a dotted IPv4 address into a socket address record.
#pragma once

#include <netinet/in.h>

// Fills the family (AF_INET) and the IPv4 address of address from host: a
// dotted decimal address is converted directly, anything else goes to the
// system resolver (a blocking call). The port is not touched. Returns 1 when
// found, 0 when not (address unchanged).
int lookup_host_address(const char *host, sockaddr_in *address);

// 1 when text is a dotted decimal IPv4 address in the sense of
// lookup_host_address, with the address (network byte order) in *result.
int trel_parse_numeric_ipv4(const char *text, in_addr_t *result);
