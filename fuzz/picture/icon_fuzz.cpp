#include <cstddef>
#include <cstdint>

#include "app/picture/decoders.h"
#include "fuzz/picture/check_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hc::check_picture(hc::decode_icon({data, size}));
  return 0;
}
