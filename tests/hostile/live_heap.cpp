#include "tests/hostile/live_heap.h"

#if defined(__SANITIZE_ADDRESS__)
#define HC_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HC_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(HC_ADDRESS_SANITIZER)
// From the sanitizer runtime; declared here as GCC installs no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace hc::hostile {

std::size_t live_heap_bytes() {
#if defined(HC_ADDRESS_SANITIZER)
  return __sanitizer_get_current_allocated_bytes();
#else
  // Small blocks in the main arena plus the blocks that have pages of their own.
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

}  // namespace hc::hostile
