// The background picture: a JPEG carried as a resource, decoded once into a bitmap of the program's own.
#pragma once

#include "platform/win32_windows.h"

#include "platform/win32_handles.h"

namespace lumvora::win32 {

// Decodes the RCDATA resource, a JPEG, and returns a bitmap of the program's own; null when the resource
// is missing or cannot be decoded.
UniqueBitmap LoadPictureResource(HINSTANCE instance, int id);

}  // namespace lumvora::win32
