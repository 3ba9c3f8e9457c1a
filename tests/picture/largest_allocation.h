#pragma once

#include <cstddef>

namespace hc::test {

// Watches operator new on this thread while it lives and gives the largest single request,
// so that a test can tell that a decoder refused a picture before allocating it.
class LargestAllocation {
 public:
  LargestAllocation();
  ~LargestAllocation();
  LargestAllocation(const LargestAllocation&) = delete;
  LargestAllocation& operator=(const LargestAllocation&) = delete;

  std::size_t bytes() const;
};

}  // namespace hc::test
