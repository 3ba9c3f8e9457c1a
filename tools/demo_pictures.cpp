#include <png.h>
// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "tools/demo_data.h"

namespace hc::demo {
namespace {

struct Colour {
  std::uint8_t red, green, blue;
};

Colour colour_of(int n) {
  const auto step = static_cast<unsigned>(n) * 47u;
  return {static_cast<std::uint8_t>(60 + step % 180),
          static_cast<std::uint8_t>(40 + (step * 3) % 200),
          static_cast<std::uint8_t>(90 + (step * 7) % 160)};
}

// A round face on a coloured ground, with a transparent corner so that alpha shows.
std::vector<std::uint8_t> face_rgba(int n, int size) {
  const Colour ground = colour_of(n);
  const Colour face = colour_of(n + 17);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
  const int centre = size / 2;
  const int radius = size * 3 / 8;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int dx = x - centre;
      const int dy = y - centre;
      const bool inside = dx * dx + dy * dy <= radius * radius;
      const bool eye = (dy == -radius / 3) && (dx == -radius / 3 || dx == radius / 3);
      const Colour c = eye ? Colour{20, 20, 20} : inside ? face : ground;
      std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * size + x) * 4];
      p[0] = c.red;
      p[1] = c.green;
      p[2] = c.blue;
      p[3] = (x + y < size / 4) ? 0 : 255;
    }
  }
  return pixels;
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void on_jpeg_error(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Plain C state only between setjmp and longjmp: the caller owns nothing that needs a
// destructor here. On success *data holds malloc'd JPEG bytes.
bool compress_rgb(const std::uint8_t* rgb, int width, int height, unsigned char** data,
                  unsigned long* size) {
  jpeg_compress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = on_jpeg_error;
  if (setjmp(error.jump) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, data, size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) * width * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

std::vector<std::uint8_t> avatar_png(int n) {
  const int size = 40 + (n % 3) * 12;  // smaller and larger than the 64 x 56 box
  const std::vector<std::uint8_t> pixels = face_rgba(n, size);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t length = 0;
  if (!png_image_write_to_memory(&image, nullptr, &length, 0, pixels.data(), 0, nullptr)) {
    return {};
  }
  std::vector<std::uint8_t> file(length);
  if (!png_image_write_to_memory(&image, file.data(), &length, 0, pixels.data(), 0, nullptr)) {
    return {};
  }
  file.resize(length);
  return file;
}

std::vector<std::uint8_t> avatar_jpeg(int n) {
  const int size = 48 + (n % 4) * 16;
  const std::vector<std::uint8_t> rgba = face_rgba(n, size);
  std::vector<std::uint8_t> rgb;
  rgb.reserve(rgba.size() / 4 * 3);
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  }
  unsigned char* data = nullptr;
  unsigned long length = 0;
  const bool done = compress_rgb(rgb.data(), size, size, &data, &length);
  std::vector<std::uint8_t> file;
  if (done && data != nullptr) {
    file.assign(data, data + length);
  }
  std::free(data);
  return file;
}

}  // namespace hc::demo
