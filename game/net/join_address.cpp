#include "game/net/join_address.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "settings/error_log.h"

namespace zorvane::net {
namespace {

struct Block {
  uint32_t first;
  int prefix;
};

constexpr uint32_t Quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return a << 24 | b << 16 | c << 8 | d;
}

constexpr Block kLinkLocal{Quad(169, 254, 0, 0), 16};

// The IPv4 blocks that no one on the internet reaches a game through (IANA's special-purpose
// registry, those not forwarded globally).
constexpr std::array kNotPublic{
    Block{Quad(0, 0, 0, 0), 8},      // "this network"
    Block{Quad(10, 0, 0, 0), 8},     // private
    Block{Quad(100, 64, 0, 0), 10},  // shared: a carrier's NAT in front of the router
    Block{Quad(127, 0, 0, 0), 8},    // loopback
    kLinkLocal,
    Block{Quad(172, 16, 0, 0), 12},    // private
    Block{Quad(192, 0, 0, 0), 24},     // protocol assignments
    Block{Quad(192, 0, 2, 0), 24},     // documentation
    Block{Quad(192, 88, 99, 0), 24},   // 6to4 relays, retired
    Block{Quad(192, 168, 0, 0), 16},   // private
    Block{Quad(198, 18, 0, 0), 15},    // benchmarking
    Block{Quad(198, 51, 100, 0), 24},  // documentation
    Block{Quad(203, 0, 113, 0), 24},   // documentation
    Block{Quad(224, 0, 0, 0), 4},      // multicast
    Block{Quad(240, 0, 0, 0), 4},      // reserved, and the broadcast address
};

bool InBlock(uint32_t address, const Block& block) {
  const uint32_t mask = ~uint32_t{0} << (32 - block.prefix);
  return (address & mask) == block.first;
}

}  // namespace

std::optional<uint32_t> ParseIpv4(std::string_view text) {
  uint32_t address = 0;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at == end || *at != '.') return std::nullopt;
      ++at;
    }
    // Decimal digits only: no sign, no spaces, no leading zeros that could be read as octal.
    if (at == end || *at < '0' || *at > '9' || (*at == '0' && at + 1 != end && at[1] != '.')) {
      return std::nullopt;
    }
    unsigned value = 0;
    const auto [next, error] = std::from_chars(at, end, value);
    if (error != std::errc() || value > 255) return std::nullopt;
    address = address << 8 | value;
    at = next;
  }
  if (at != end) return std::nullopt;
  return address;
}

std::string Ipv4Text(uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xff) + "." +
         std::to_string(address >> 8 & 0xff) + "." + std::to_string(address & 0xff);
}

bool IsPublicIpv4(uint32_t address) {
  for (const Block& block : kNotPublic) {
    if (InBlock(address, block)) return false;
  }
  return true;
}

std::optional<JoinAddress> CheckedOutsideAddress(std::string_view address, long port) {
  const std::optional<uint32_t> parsed = ParseIpv4(address);
  if (!parsed || !IsPublicIpv4(*parsed) || port < 1 || port > 65535) return std::nullopt;
  return JoinAddress{*parsed, static_cast<uint16_t>(port)};
}

std::string JoinCommand(const JoinAddress& where) {
  return "zorvane --join " + Ipv4Text(where.address) + ":" + std::to_string(where.port);
}

std::vector<uint32_t> LocalIpv4Addresses() {
  std::vector<uint32_t> addresses;
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) != 0) {
    LogError("network",
             std::string("cannot list this machine's addresses: ") + std::strerror(errno));
    return addresses;
  }
  for (const ifaddrs* at = interfaces; at != nullptr; at = at->ifa_next) {
    if (at->ifa_addr == nullptr || at->ifa_addr->sa_family != AF_INET) continue;
    if ((at->ifa_flags & IFF_UP) == 0 || (at->ifa_flags & IFF_LOOPBACK) != 0) continue;
    sockaddr_in inet;
    std::memcpy(&inet, at->ifa_addr, sizeof inet);
    const uint32_t address = ntohl(inet.sin_addr.s_addr);
    if (!InBlock(address, kLinkLocal)) addresses.push_back(address);
  }
  freeifaddrs(interfaces);
  return addresses;
}

}  // namespace zorvane::net
