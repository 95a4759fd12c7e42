// The background picture: a JPEG carried as a resource, decoded once into a bitmap of the program's own,
// and scaled from that to the window's DPI.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/handles.h"
#include "ui/win32_dpi.h"

namespace lumvora::win32 {

// Decodes the RCDATA resource, a JPEG, and returns a bitmap of the program's own; null when the resource
// is missing or cannot be decoded.
UniqueBitmap LoadPictureResource(HINSTANCE instance, int id);

// A picture designed at 96 DPI and the copy of it that is drawn at one other DPI. The copy is made once
// for each DPI, with GDI's averaging filter (HALFTONE), so that painting only copies pixels.
class ScaledPicture {
 public:
  ScaledPicture() = default;
  explicit ScaledPicture(UniqueBitmap designed);

  void ScaleFor(int dpi);
  explicit operator bool() const { return static_cast<bool>(designed_); }
  // The bitmap to draw at the DPI last scaled for, and its size.
  HBITMAP Bitmap() const { return scaled_ ? scaled_.Get() : designed_.Get(); }
  SIZE Size() const { return size_; }

 private:
  UniqueBitmap designed_;
  SIZE designedSize_{};
  UniqueBitmap scaled_;  // none at 96 DPI, or where scaling failed: the designed picture is drawn
  SIZE size_{};
  int dpi_ = kDesignDpi;
};

}  // namespace lumvora::win32
