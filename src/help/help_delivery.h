// The help document carried inside the exe: written out next to it on first use, opened in the viewer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "help/help_progress_view.h"
#include "help/help_doc_length.h"
#include "platform/help_files.h"
#include "ui/main_view.h"

namespace lumvora {

inline constexpr wchar_t kHelpFileName[] = L"Lumvo_help.chm";
// Written here first and renamed when complete, so that an interrupted write never leaves a truncated
// document under the final name.
inline constexpr wchar_t kHelpPartFileName[] = L"Lumvo_help.chm.part";
inline constexpr wchar_t kHelpResourceType[] = L"CUSTOM";
inline constexpr int kHelpResourceId = 101;

// The viewer: hh.exe in the Windows directory.
std::wstring HelpViewerPath(const std::wstring& windowsDirectory);
// The viewer's command line, with the document's full path quoted, so that it is found whatever the current
// directory.
std::wstring HelpViewerCommand(const std::wstring& viewerPath, const std::wstring& documentPath);

// Writes the document out when it is not there, or what is there is not this program's own (the strip
// standing in for the main window meanwhile), holds it as checked (heldDocument, kept by the caller for as
// long as the program runs), and starts the viewer. Throws PlatformError; the main window is back and no
// partial file is left then.
void DeliverHelp(HelpFiles& files, MainView& mainView, HelpProgressView& helpProgress, const std::wstring& appDir,
                 std::unique_ptr<ReadLock>& heldDocument);

}  // namespace lumvora
