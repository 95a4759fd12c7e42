#include "help/help_delivery.h"

#include <vector>

namespace lumvora {

std::wstring HelpViewerCommand(const std::wstring& windowsDirectory, const std::wstring& documentPath) {
  std::wstring directory = windowsDirectory;
  if (!directory.empty() && directory.back() != L'\\') directory += L'\\';
  return L"\"" + directory + L"hh.exe\" \"" + documentPath + L"\"";
}

namespace {

void WriteDocument(Platform& platform, MainView& mainView, HelpProgressView& helpProgress,
                   const std::wstring& path, const std::wstring& partPath) {
  helpProgress.Show();
  mainView.Hide();
  bool stripShown = true;
  auto restoreWindows = [&] {
    if (!stripShown) return;
    stripShown = false;
    helpProgress.Close();
    mainView.ShowAgain();
  };
  try {
    helpProgress.SetBarMin(0);
    helpProgress.SetBarMax(static_cast<float>(HelpDocLength));
    const std::vector<std::uint8_t> document = platform.LoadResourceBytes(kHelpResourceType, kHelpResourceId);
    if (document.size() < HelpDocLength) {
      throw PlatformError(L"读取帮助文档", kHelpResourceType + std::wstring(L" ") + std::to_wstring(kHelpResourceId),
                          L"资源比帮助文档短。");
    }
    // A part left by an interrupted run must not be written over in place: opening does not truncate.
    platform.DeleteFile(partPath);
    std::unique_ptr<ByteWriter> writer = platform.WriteFileBytes(partPath);
    for (std::uint32_t i = 0; i < HelpDocLength; ++i) {
      writer->Write(document[i]);
      helpProgress.SetBarValue(static_cast<float>(i));
    }
    restoreWindows();
    writer->Close();
    platform.RenameFile(partPath, path);
  } catch (const PlatformError&) {
    restoreWindows();
    try {
      platform.DeleteFile(partPath);
    } catch (const PlatformError&) {
      // The failure that stopped the write is the one to report.
    }
    throw;
  }
}

}  // namespace

void DeliverHelp(Platform& platform, MainView& mainView, HelpProgressView& helpProgress, const std::wstring& appDir) {
  const std::wstring path = appDir + kHelpFileName;
  if (!platform.FileExists(path)) WriteDocument(platform, mainView, helpProgress, path, appDir + kHelpPartFileName);
  platform.StartProcess(HelpViewerCommand(platform.WindowsDirectory(), path), ShowState::NormalActive);
}

}  // namespace lumvora
