#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace zorvane::test {

// A UDP relay on 127.0.0.1 between a guest and a host, for tests of play over the network: it
// drops a share of the datagrams and holds each of the rest for a random while, which also
// reorders them, and counts the bytes that pass each way.
class UdpRelay {
 public:
  struct Faults {
    double dropRate = 0;
    int minDelayMs = 0;
    int maxDelayMs = 0;
    uint32_t seed = 1;
  };

  // Forwards what reaches port() to 127.0.0.1:hostPort, and the answers back to whoever sent
  // to port() last.
  UdpRelay(uint16_t hostPort, Faults faults);
  ~UdpRelay();
  UdpRelay(const UdpRelay&) = delete;
  UdpRelay& operator=(const UdpRelay&) = delete;

  uint16_t port() const { return port_; }
  // UDP payload bytes that reached the relay from each side.
  uint64_t bytesFromGuest() const { return bytesFromGuest_; }
  uint64_t bytesFromHost() const { return bytesFromHost_; }

 private:
  void Run(Faults faults);

  int guestSide_;
  int hostSide_;
  uint16_t port_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> bytesFromGuest_{0};
  std::atomic<uint64_t> bytesFromHost_{0};
  std::thread thread_;
};

// Sends one datagram to 127.0.0.1:port from a socket of its own.
void SendDatagram(uint16_t port, const uint8_t* data, size_t size);

}  // namespace zorvane::test
