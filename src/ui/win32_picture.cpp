#include "ui/win32_picture.h"

#include <cstring>
#include <utility>

#include "platform/win32/win32_platform.h"

// The JPEG decoder is stb_image (Debian's libstb-dev), compiled in for JPEG alone. The system's own picture
// loader would start COM and, under it, half a dozen libraries: that was most of the start-up time.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#include <stb_image.h>

namespace lumvora::win32 {

namespace {

struct DecodedPixels {
  explicit DecodedPixels(stbi_uc* pixels) : data(pixels) {}
  DecodedPixels(const DecodedPixels&) = delete;
  DecodedPixels& operator=(const DecodedPixels&) = delete;
  ~DecodedPixels() { stbi_image_free(data); }
  stbi_uc* data;
};

// A top-down 32-bit DIB section: rows need no padding, and GDI wants blue, green, red.
UniqueBitmap CreatePictureBitmap(int width, int height, void** bits) {
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(header.bmiHeader);
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = -height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, bits, nullptr, 0));
  if (*bits == nullptr) bitmap.Reset();
  return bitmap;
}

}  // namespace

UniqueBitmap LoadPictureResource(HINSTANCE instance, int id) {
  const std::span<const std::uint8_t> data =
      ResourceData(instance, MAKEINTRESOURCEW(10) /* RT_RCDATA */, MAKEINTRESOURCEW(id));
  if (data.empty() || data.size() > 0x7FFFFFFF) return UniqueBitmap();

  int width = 0, height = 0, channels = 0;
  const DecodedPixels rgb(
      stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &width, &height, &channels, 3));
  if (rgb.data == nullptr || width <= 0 || height <= 0) return UniqueBitmap();

  void* bits = nullptr;
  UniqueBitmap bitmap = CreatePictureBitmap(width, height, &bits);
  if (!bitmap) return UniqueBitmap();
  auto* target = static_cast<unsigned char*>(bits);
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < pixels; ++i) {
    target[4 * i + 0] = rgb.data[3 * i + 2];
    target[4 * i + 1] = rgb.data[3 * i + 1];
    target[4 * i + 2] = rgb.data[3 * i + 0];
    target[4 * i + 3] = 0;
  }
  return bitmap;
}

ScaledPicture::ScaledPicture(UniqueBitmap designed) : designed_(std::move(designed)) {
  BITMAP info{};
  if (designed_ && ::GetObjectW(designed_.Get(), sizeof(info), &info) != 0) {
    designedSize_ = SIZE{info.bmWidth, info.bmHeight};
  }
  size_ = designedSize_;
}

void ScaledPicture::ScaleFor(int dpi) {
  if (dpi == dpi_ || !designed_) return;
  dpi_ = dpi;
  scaled_.Reset();
  size_ = designedSize_;
  if (dpi == kDesignDpi) return;
  const SIZE size{Scale(designedSize_.cx, dpi), Scale(designedSize_.cy, dpi)};
  void* bits = nullptr;
  UniqueBitmap scaled = CreatePictureBitmap(size.cx, size.cy, &bits);
  const UniqueDc source(::CreateCompatibleDC(nullptr));
  const UniqueDc target(::CreateCompatibleDC(nullptr));
  if (!scaled || !source || !target) return;
  const HGDIOBJ oldSource = ::SelectObject(source.Get(), designed_.Get());
  const HGDIOBJ oldTarget = ::SelectObject(target.Get(), scaled.Get());
  // HALFTONE averages the source pixels that each target pixel covers; it wants the brush origin set after it.
  ::SetStretchBltMode(target.Get(), HALFTONE);
  ::SetBrushOrgEx(target.Get(), 0, 0, nullptr);
  const bool stretched = ::StretchBlt(target.Get(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, designedSize_.cx,
                                      designedSize_.cy, SRCCOPY) != FALSE;
  ::SelectObject(target.Get(), oldTarget);
  ::SelectObject(source.Get(), oldSource);
  if (!stretched) return;
  scaled_ = std::move(scaled);
  size_ = size;
}

}  // namespace lumvora::win32
