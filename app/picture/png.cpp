// PNG through libpng. libpng reports a fatal error by a longjmp to the setjmp of the step that
// made the call. The steps below hold only trivially destructible locals, and everything they
// change lives in PngJob, owned by the caller, so nothing is lost or left undestroyed by the jump.

#include <cstddef>
#include <cstring>

#include <png.h>

#include "app/picture/decoders.h"

namespace hc {
namespace {

struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int passes = 0;
  png_uint_32 rows_done = 0;
};

[[noreturn]] void fail_png(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void ignore_png_warning(png_structp, png_const_charp) {}

void read_png_bytes(png_structp png, png_bytep out, std::size_t count) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (count > job->size - job->position) {
    png_error(png, "cut short");
  }
  std::memcpy(out, job->data + job->position, count);
  job->position += count;
}

// Reads the header and asks libpng for 8-bit RGBA rows whatever the file holds.
bool start_png(PngJob& job) {
  if (setjmp(png_jmpbuf(job.png))) {
    return false;
  }
  png_set_read_fn(job.png, &job, read_png_bytes);
  png_set_user_limits(job.png, max_picture_side, max_picture_side);
  // On a read struct this is the size of the compressed pieces libpng asks for; small pieces
  // let the rows before a cut come out before the cut is noticed.
  png_set_compression_buffer_size(job.png, 64);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Mutated files would nearly all stop at a checksum; let them reach the code behind it.
  png_set_crc_action(job.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
  png_read_info(job.png, job.info);
  job.width = png_get_image_width(job.png, job.info);
  job.height = png_get_image_height(job.png, job.info);
  if (!picture_size_allowed(job.width, job.height)) {
    return false;
  }
  png_set_expand(job.png);
  png_set_scale_16(job.png);
  png_set_gray_to_rgb(job.png);
  png_set_add_alpha(job.png, 0xFF, PNG_FILLER_AFTER);
  job.passes = png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);
  return png_get_rowbytes(job.png, job.info) == static_cast<std::size_t>(job.width) * 4;
}

// Reads every pass into rgba, four bytes a pixel; an interlaced pass fills in its own pixels.
bool read_png_rows(PngJob& job, png_bytep rgba) {
  if (setjmp(png_jmpbuf(job.png))) {
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(job.width) * 4;
  for (int pass = 0; pass < job.passes; ++pass) {
    for (png_uint_32 y = 0; y < job.height; ++y) {
      png_read_row(job.png, rgba + y * stride, nullptr);
      ++job.rows_done;
    }
  }
  return true;
}

class PngDecoder {
 public:
  explicit PngDecoder(std::span<const std::uint8_t> bytes) {
    job_.data = bytes.data();
    job_.size = bytes.size();
    job_.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, fail_png, ignore_png_warning);
    if (job_.png != nullptr) {
      job_.info = png_create_info_struct(job_.png);
    }
  }
  PngDecoder(const PngDecoder&) = delete;
  PngDecoder& operator=(const PngDecoder&) = delete;
  ~PngDecoder() { png_destroy_read_struct(&job_.png, &job_.info, nullptr); }

  std::optional<Picture> decode() {
    if (job_.info == nullptr || !start_png(job_)) {
      return std::nullopt;
    }
    auto picture = blank_picture(job_.width, job_.height);
    if (!picture) {
      return std::nullopt;
    }
    // libpng writes RGBA bytes straight into the pixels, which are then turned into ARGB words
    // in place; undecoded pixels stay zero, transparent black either way.
    auto* rgba = reinterpret_cast<png_bytep>(picture->pixels.data());
    if (!read_png_rows(job_, rgba) && job_.rows_done == 0) {
      return std::nullopt;
    }
    for (std::uint32_t& pixel : picture->pixels) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(&pixel);
      pixel = argb(bytes[3], bytes[0], bytes[1], bytes[2]);
    }
    return picture;
  }

 private:
  PngJob job_;
};

}  // namespace

std::optional<Picture> decode_png(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
    return std::nullopt;
  }
  PngDecoder decoder(bytes);
  return decoder.decode();
}

}  // namespace hc
