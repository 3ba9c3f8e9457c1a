// JPEG through libjpeg. libjpeg reports a fatal error through error_exit, which must not
// return; ours jumps back to the setjmp of the step that made the call. The steps below hold
// only trivially destructible locals, and everything they change lives in JpegJob, in memory
// owned by the caller, so nothing is lost or left undestroyed by the jump.

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

#include "app/picture/decoders.h"

namespace hc {
namespace {

// Real progressive files have about ten scans; a crafted one may have thousands, each a full
// pass over the picture.
constexpr int max_scans = 100;

struct JpegJob {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  JDIMENSION rows_done;
};

[[noreturn]] void fail_jpeg(j_common_ptr info) {
  auto* job = static_cast<JpegJob*>(info->client_data);
  std::longjmp(job->jump, 1);
}

void ignore_jpeg_message(j_common_ptr) {}

void limit_jpeg_scans(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > max_scans) {
    fail_jpeg(info);
  }
}

bool is_cmyk(J_COLOR_SPACE space) {
  return space == JCS_CMYK || space == JCS_YCCK;
}

bool start_jpeg(JpegJob& job, std::span<const std::uint8_t> bytes) {
  if (setjmp(job.jump)) {
    return false;
  }
  jpeg_create_decompress(&job.info);
  job.info.progress = &job.progress;
  jpeg_mem_src(&job.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&job.info, TRUE);
  // libjpeg converts everything to RGB but CMYK, which we convert ourselves.
  job.info.out_color_space = is_cmyk(job.info.jpeg_color_space) ? JCS_CMYK : JCS_RGB;
  return true;
}

std::uint32_t rgb_pixel(const JSAMPLE* sample) {
  return argb(255, sample[0], sample[1], sample[2]);
}

// Adobe writes CMYK inverted, each value the light left (255: no ink); others write the ink.
std::uint32_t cmyk_pixel(const JSAMPLE* sample, bool inverted) {
  auto light = [inverted](JSAMPLE value) -> std::uint32_t {
    return inverted ? value : 255 - value;
  };
  const std::uint32_t black = light(sample[3]);
  return argb(255, light(sample[0]) * black / 255, light(sample[1]) * black / 255,
              light(sample[2]) * black / 255);
}

bool read_jpeg_rows(JpegJob& job, std::uint32_t* pixels) {
  if (setjmp(job.jump)) {
    return false;
  }
  jpeg_start_decompress(&job.info);
  const JDIMENSION width = job.info.output_width;
  const int components = job.info.output_components;
  if (width != job.info.image_width || job.info.output_height != job.info.image_height ||
      components != (job.info.out_color_space == JCS_CMYK ? 4 : 3)) {
    return false;
  }
  JSAMPARRAY row =
      (*job.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job.info), JPOOL_IMAGE,
                                    width * static_cast<JDIMENSION>(components), 1);
  const bool cmyk = job.info.out_color_space == JCS_CMYK;
  const bool inverted = job.info.saw_Adobe_marker;
  while (job.info.output_scanline < job.info.output_height) {
    if (jpeg_read_scanlines(&job.info, row, 1) != 1) {
      return false;
    }
    std::uint32_t* out = pixels + static_cast<std::size_t>(job.rows_done) * width;
    for (JDIMENSION x = 0; x < width; ++x) {
      const JSAMPLE* sample = row[0] + static_cast<std::size_t>(x) * components;
      out[x] = cmyk ? cmyk_pixel(sample, inverted) : rgb_pixel(sample);
    }
    ++job.rows_done;
  }
  return true;
}

class JpegDecoder {
 public:
  JpegDecoder() : job_(std::make_unique<JpegJob>()) {
    jpeg_std_error(&job_->errors);
    job_->errors.error_exit = fail_jpeg;
    job_->errors.output_message = ignore_jpeg_message;
    job_->progress.progress_monitor = limit_jpeg_scans;
    job_->info.err = &job_->errors;
    job_->info.client_data = job_.get();
  }
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;
  ~JpegDecoder() { jpeg_destroy_decompress(&job_->info); }

  std::optional<Picture> decode(std::span<const std::uint8_t> bytes) {
    if (!start_jpeg(*job_, bytes)) {
      return std::nullopt;
    }
    auto picture = blank_picture(job_->info.image_width, job_->info.image_height);
    if (!picture) {
      return std::nullopt;
    }
    if (!read_jpeg_rows(*job_, picture->pixels.data()) && job_->rows_done == 0) {
      return std::nullopt;
    }
    return picture;
  }

 private:
  // Zeroed, so that destroying it is safe however far creating it got.
  std::unique_ptr<JpegJob> job_;
};

}  // namespace

std::optional<Picture> decode_jpeg(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
    return std::nullopt;
  }
  JpegDecoder decoder;
  return decoder.decode(bytes);
}

}  // namespace hc
