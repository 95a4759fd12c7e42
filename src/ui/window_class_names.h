// The window classes that the program registers. The end-to-end tests and the benchmarks find its windows by
// these names.
#pragma once

namespace lumvora {

inline constexpr wchar_t kMainWindowClassName[] = L"LumvoraMainWindow";
inline constexpr wchar_t kHelpProgressClassName[] = L"LumvoraHelpProgress";
inline constexpr wchar_t kHotspotStatusClassName[] = L"LumvoraHotspotStatus";

}  // namespace lumvora
