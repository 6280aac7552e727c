#pragma once

namespace zorvane::test {

// The seed of a test that draws random numbers: ZORVANE_TEST_SEED when it is set, else
// `otherwise`. It is printed either way, so a failing run can be made again.
unsigned TestSeed(unsigned otherwise);

}  // namespace zorvane::test
