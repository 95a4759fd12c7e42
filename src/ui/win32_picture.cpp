#include "ui/win32_picture.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "platform/win32_platform.h"

namespace lumvora::win32 {

namespace {

// The picture loader lives in ole32 and oleaut32, which the program needs for nothing else: they are
// loaded here, when the picture is, rather than linked, so that a start does not pay for them twice.
using CreateStreamOnHGlobalFn = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);
using OleLoadPictureFn = HRESULT(WINAPI*)(IStream*, LONG, BOOL, REFIID, void**);

template <typename Fn>
Fn SystemFunction(const wchar_t* dll, const char* name) {
  HMODULE module = ::GetModuleHandleW(dll);
  if (module == nullptr) module = LoadSystemLibrary(dll);
  return module != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace

UniqueBitmap LoadPictureResource(HINSTANCE instance, int id) {
  const auto createStream = SystemFunction<CreateStreamOnHGlobalFn>(L"ole32.dll", "CreateStreamOnHGlobal");
  const auto loadPicture = SystemFunction<OleLoadPictureFn>(L"oleaut32.dll", "OleLoadPicture");
  if (createStream == nullptr || loadPicture == nullptr) return UniqueBitmap();
  const HRSRC info = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (info == nullptr) return UniqueBitmap();
  const HGLOBAL loaded = ::LoadResource(instance, info);
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  const DWORD size = ::SizeofResource(instance, info);
  if (data == nullptr || size == 0) return UniqueBitmap();

  // The picture loader reads from a stream; the stream takes the memory over and frees it.
  const HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) return UniqueBitmap();
  void* target = ::GlobalLock(copy);
  std::memcpy(target, data, size);
  ::GlobalUnlock(copy);
  ComPtr<IStream> stream;
  if (FAILED(createStream(copy, TRUE, stream.Put()))) {
    ::GlobalFree(copy);
    return UniqueBitmap();
  }
  ComPtr<IPicture> picture;
  if (FAILED(loadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                         reinterpret_cast<void**>(picture.Put())))) {
    return UniqueBitmap();
  }
  OLE_HANDLE handle = 0;
  SHORT type = PICTYPE_NONE;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) {
    return UniqueBitmap();
  }
  // The picture owns its bitmap and deletes it on release: keep a copy of our own.
  return UniqueBitmap(static_cast<HBITMAP>(::CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

}  // namespace lumvora::win32
