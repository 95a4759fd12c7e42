// The background picture: a JPEG carried as a resource, decoded once by the system's picture loader.
#pragma once

#include "platform/win32_windows.h"

#include "platform/win32_handles.h"

namespace lumvora::win32 {

// Holds a COM interface pointer and releases it.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  T** Put() { return &p_; }

 private:
  T* p_ = nullptr;
};

// Decodes the RCDATA resource as a picture and returns a bitmap of the program's own; null when the
// resource is missing or cannot be decoded.
UniqueBitmap LoadPictureResource(HINSTANCE instance, int id);

}  // namespace lumvora::win32
