#include "game/net/time_sync.h"

#include <algorithm>
#include <cmath>

namespace zorvane::net {

void TimeSync::Sample(uint32_t ourTick, uint32_t theirTick, int8_t theirAhead) {
  samples_[next_] = static_cast<int64_t>(ourTick) - static_cast<int64_t>(theirTick);
  next_ = (next_ + 1) % kSamples;
  count_ = std::min(count_ + 1, kSamples);
  theirAhead_ = theirAhead;
  if (quiet_ > 0) --quiet_;
}

double TimeSync::Average() const {
  int64_t sum = 0;
  for (size_t i = 0; i < count_; ++i) sum += samples_[i];
  return count_ == 0 ? 0 : static_cast<double>(sum) / static_cast<double>(count_);
}

int8_t TimeSync::ahead() const {
  return static_cast<int8_t>(std::clamp(std::lround(Average()), -127L, 127L));
}

int64_t TimeSync::TakeYield() {
  if (count_ < kSamples || quiet_ > 0) return 0;
  const double lead = (Average() - theirAhead_) / 2;
  if (lead < 1) return 0;
  const int ticks = std::min(static_cast<int>(std::lround(lead)), kMostTicksGivenUp);
  quiet_ = static_cast<int64_t>(ticks) * kTicksToGiveUpOne + static_cast<int64_t>(kSamples);
  return ticks * kTickMicros;
}

}  // namespace zorvane::net
