#include "tests/support/udp_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <queue>
#include <random>
#include <stdexcept>
#include <vector>

namespace zorvane::test {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int BoundSocket() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("relay: cannot bind a UDP socket");
  }
  return fd;
}

uint16_t PortOf(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

struct Held {
  Clock::time_point due;
  bool toHost;
  std::vector<uint8_t> bytes;
  bool operator>(const Held& other) const { return due > other.due; }
};

}  // namespace

UdpRelay::UdpRelay(uint16_t hostPort, Faults faults)
    : guestSide_(BoundSocket()), hostSide_(BoundSocket()), port_(PortOf(guestSide_)) {
  sockaddr_in host = Loopback(hostPort);
  connect(hostSide_, reinterpret_cast<sockaddr*>(&host), sizeof host);
  thread_ = std::thread([this, faults] { Run(faults); });
}

UdpRelay::~UdpRelay() {
  stop_ = true;
  thread_.join();
  close(guestSide_);
  close(hostSide_);
}

void UdpRelay::Run(Faults faults) {
  std::mt19937 random(faults.seed);
  std::uniform_real_distribution<double> chance(0, 1);
  std::uniform_int_distribution<int> delayMs(faults.minDelayMs, faults.maxDelayMs);
  std::priority_queue<Held, std::vector<Held>, std::greater<>> held;
  sockaddr_in guest{};
  bool guestKnown = false;
  std::vector<uint8_t> buffer(65536);

  while (!stop_) {
    int waitMs = 5;
    if (!held.empty()) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(held.top().due - Clock::now());
      waitMs = std::clamp(static_cast<int>(left.count()), 0, 5);
    }
    pollfd fds[2] = {{guestSide_, POLLIN, 0}, {hostSide_, POLLIN, 0}};
    poll(fds, 2, waitMs);
    for (int side = 0; side < 2; ++side) {
      if (!(fds[side].revents & POLLIN)) continue;
      sockaddr_in from{};
      socklen_t fromSize = sizeof from;
      const ssize_t got = recvfrom(fds[side].fd, buffer.data(), buffer.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromSize);
      if (got < 0) continue;
      const bool toHost = side == 0;
      if (toHost) {
        guest = from;
        guestKnown = true;
        bytesFromGuest_ += static_cast<uint64_t>(got);
      } else {
        bytesFromHost_ += static_cast<uint64_t>(got);
      }
      if (chance(random) < faults.dropRate) continue;
      held.push({Clock::now() + std::chrono::milliseconds(delayMs(random)),
                 toHost,
                 {buffer.begin(), buffer.begin() + got}});
    }
    while (!held.empty() && held.top().due <= Clock::now()) {
      const Held& next = held.top();
      if (next.toHost) {
        send(hostSide_, next.bytes.data(), next.bytes.size(), 0);
      } else if (guestKnown) {
        sendto(guestSide_, next.bytes.data(), next.bytes.size(), 0,
               reinterpret_cast<const sockaddr*>(&guest), sizeof guest);
      }
      held.pop();
    }
  }
}

void SendDatagram(uint16_t port, const uint8_t* data, size_t size) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(port);
  sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(fd);
}

}  // namespace zorvane::test
