#pragma once

#include <cstddef>

namespace hc::hostile {

// Bytes that the process has allocated and not yet freed, as the allocator counts them (the
// sanitizer's allocator when it is built in). The main thread's allocations are all counted;
// without the sanitizer, those of other threads may not be.
std::size_t live_heap_bytes();

}  // namespace hc::hostile
