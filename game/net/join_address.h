#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane::net {

// Where a friend joins a hosted game: an IPv4 address (host byte order) and a UDP port.
struct JoinAddress {
  uint32_t address = 0;
  uint16_t port = 0;
  bool operator==(const JoinAddress&) const = default;
};

// A dotted quad, "a.b.c.d", each part a decimal from 0 to 255; nothing else is an address.
std::optional<uint32_t> ParseIpv4(std::string_view text);
std::string Ipv4Text(uint32_t address);

// Whether the address can be reached from the internet: none of the private, shared (carrier
// NAT), loopback, link-local, documentation, multicast and other reserved blocks.
bool IsPublicIpv4(uint32_t address);

// A router's word on where the internet reaches a forwarded port, taken only when the address
// parses and is public and the port is one of UDP's (1 to 65535).
std::optional<JoinAddress> CheckedOutsideAddress(std::string_view address, long port);

// What the friend types: "zorvane --join ADDRESS:PORT".
std::string JoinCommand(const JoinAddress& where);

// The IPv4 addresses of this machine's interfaces that are up, loopback and link-local left
// out: where a friend on the same network reaches it.
std::vector<uint32_t> LocalIpv4Addresses();

}  // namespace zorvane::net
