// Owners for the kernel and GDI handles that the Win32 layer holds, so that none leaks on an early return.
#pragma once

#include "platform/win32/windows_api.h"

#include <cstdint>
#include <utility>

namespace lumvora::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Traits::Invalid()));
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  void Reset(Handle handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

 private:
  Handle handle_ = Traits::Invalid();
};

// A handle type, the value that means "none", and the function that lets it go.
template <typename H, auto close, std::intptr_t invalid = 0>
struct HandleTraits {
  using Handle = H;
  static Handle Invalid() { return reinterpret_cast<Handle>(invalid); }
  static void Close(Handle h) { close(h); }
};

using KernelHandleTraits = HandleTraits<HANDLE, &::CloseHandle>;
// CreateFile reports failure with INVALID_HANDLE_VALUE rather than null.
using FileHandleTraits = HandleTraits<HANDLE, &::CloseHandle, -1>;
using FontTraits = HandleTraits<HFONT, &::DeleteObject>;
using BrushTraits = HandleTraits<HBRUSH, &::DeleteObject>;
using BitmapTraits = HandleTraits<HBITMAP, &::DeleteObject>;
using MenuTraits = HandleTraits<HMENU, &::DestroyMenu>;
// A memory device context (CreateCompatibleDC).
using DcTraits = HandleTraits<HDC, &::DeleteDC>;
using IconTraits = HandleTraits<HICON, &::DestroyIcon>;
using CursorTraits = HandleTraits<HCURSOR, &::DestroyCursor>;
using AcceleratorTraits = HandleTraits<HACCEL, &::DestroyAcceleratorTable>;

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueBitmap = UniqueHandle<BitmapTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueDc = UniqueHandle<DcTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;
using UniqueAccelerators = UniqueHandle<AcceleratorTraits>;

}  // namespace lumvora::win32
