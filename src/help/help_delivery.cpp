#include "help/help_delivery.h"

#include <optional>
#include <vector>

namespace lumvora {

std::wstring HelpViewerPath(const std::wstring& windowsDirectory) {
  std::wstring directory = windowsDirectory;
  if (!directory.empty() && directory.back() != L'\\') directory += L'\\';
  return directory + L"hh.exe";
}

std::wstring HelpViewerCommand(const std::wstring& viewerPath, const std::wstring& documentPath) {
  return L"\"" + viewerPath + L"\" \"" + documentPath + L"\"";
}

namespace {

// The embedded document: the resource's first HelpDocLength bytes.
std::vector<std::uint8_t> LoadDocument(HelpFiles& files) {
  std::vector<std::uint8_t> document = files.LoadResourceBytes(kHelpResourceType, kHelpResourceId);
  if (document.size() < HelpDocLength) {
    throw PlatformError(L"读取帮助文档", kHelpResourceType + std::wstring(L" ") + std::to_wstring(kHelpResourceId),
                        L"资源比帮助文档短。");
  }
  document.resize(HelpDocLength);
  return document;
}

void WriteDocument(HelpFiles& files, MainView& mainView, HelpProgressView& helpProgress,
                   const std::vector<std::uint8_t>& document, const std::wstring& path,
                   const std::wstring& partPath) {
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
    // A part left by an interrupted run, or a link planted in its place, goes first: the part is created new.
    files.DeleteFile(partPath);
    std::unique_ptr<ByteWriter> writer = files.WriteFileBytes(partPath);
    for (std::uint32_t i = 0; i < HelpDocLength; ++i) {
      writer->Write(document[i]);
      helpProgress.SetBarValue(static_cast<float>(i));
    }
    restoreWindows();
    writer->Close();
    files.RenameFile(partPath, path);
  } catch (const PlatformError&) {
    restoreWindows();
    try {
      files.DeleteFile(partPath);
    } catch (const PlatformError&) {
      // The failure that stopped the write is the one to report.
    }
    throw;
  }
}

}  // namespace

void DeliverHelp(HelpFiles& files, MainView& mainView, HelpProgressView& helpProgress, const std::wstring& appDir,
                 std::unique_ptr<ReadLock>& heldDocument) {
  const std::wstring path = appDir + kHelpFileName;
  // The viewer runs with this program's rights and a compiled help file can run script, so it may open only
  // this program's own document, held from the check on so that nobody can change or swap it in between:
  // an older version, one cut short, one that another program put there or one that cannot be read is
  // written over. Once held, it stays held while the program runs.
  if (!heldDocument) {
    const std::vector<std::uint8_t> document = LoadDocument(files);
    if (files.FileExists(path)) heldDocument = files.HoldIfIdentical(path, document);
    if (!heldDocument) {
      WriteDocument(files, mainView, helpProgress, document, path, appDir + kHelpPartFileName);
      heldDocument = files.HoldIfIdentical(path, document);
      if (!heldDocument) {
        throw PlatformError(L"核对文件", path,
                            L"帮助文档写入后被另一个程序改动了，没有打开它。请把 Lumvora.exe 放到只有管理员能写入的文件夹中再试。");
      }
    }
  }
  const std::wstring viewer = HelpViewerPath(files.WindowsDirectory());
  files.StartProcess(viewer, HelpViewerCommand(viewer, path), ShowState::NormalActive);
}

}  // namespace lumvora
