#pragma once

#include <stdexcept>
#include <string>

namespace zorvane::net {

// Ends a game over the network: the message for the player and the program's exit status.
class NetworkError : public std::runtime_error {
 public:
  static constexpr int kFailed = 1;     // no connection, connection lost, refused, bad message
  static constexpr int kOutOfStep = 4;  // the two games no longer ran the same game

  NetworkError(const std::string& message, int status)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

}  // namespace zorvane::net
