// Time marks for the benchmark's start-up breakdown. Only the traced build that bench/ makes of the same
// sources defines LUMVORA_STARTUP_TRACE; in Lumvora.exe every mark compiles to nothing.
#pragma once

#ifdef LUMVORA_STARTUP_TRACE
namespace lumvora::win32 {
// Starts watching library loads; call first thing in wWinMain.
void StartupTraceBegin();
// Notes the time since the process was created. Safe from any thread.
void StartupMark(const char* event);
// Writes the marks to the file named by LUMVORA_STARTUP_TRACE_FILE; the first call only.
void StartupTraceEnd();
}  // namespace lumvora::win32
#define LUMVORA_STARTUP_BEGIN() ::lumvora::win32::StartupTraceBegin()
#define LUMVORA_STARTUP_MARK(event) ::lumvora::win32::StartupMark(event)
#define LUMVORA_STARTUP_END() ::lumvora::win32::StartupTraceEnd()
#else
#define LUMVORA_STARTUP_BEGIN() ((void)0)
#define LUMVORA_STARTUP_MARK(event) ((void)0)
#define LUMVORA_STARTUP_END() ((void)0)
#endif
