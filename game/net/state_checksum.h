#pragma once

#include <cstdint>

namespace zorvane {
class Form1;
}

namespace zorvane::net {

// A checksum of the whole state of play, both blocks and Running, bit for bit.
uint32_t StateChecksum(const Form1& form);

}  // namespace zorvane::net
