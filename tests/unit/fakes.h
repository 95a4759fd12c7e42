// Recording fakes of the platform and the main window's view.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/form1_view.h"

namespace lumvora::testing {

// Thrown by the fake EndProcess: the real one never returns, so the code after it must not run either.
struct ProcessEnded {};

struct ShownMessage {
  std::wstring text;
  MessageIcon icon;
  std::wstring caption;
};

class FakePlatform : public Platform {
 public:
  // Every call in order, one word each, so tests can check the sequence across the platform and the view.
  std::vector<std::wstring>* log = nullptr;
  std::vector<ShownMessage> messages;
  Version version{1, 2, 0};
  std::wstring appDirectory = L"C:\\Apps\\Lumvora";
  bool previousInstance = false;
  bool failAppDirectory = false;
  int endProcessCalls = 0;
  // Lets a test act while a message is on screen, as a re-entrant window message would.
  std::function<void()> whileMessageShown;

  // A file system of names and contents; the operations that should fail, by name.
  std::map<std::wstring, std::wstring> files;
  std::set<std::wstring> failing;
  // What the next batch run reports, and what it saw.
  CommandResult runResult{true, 0, L""};
  std::function<void()> whileCommandRuns;
  struct Run {
    std::wstring batchPath, currentDirectory, batchContent;
    std::chrono::milliseconds timeLimit;
  };
  std::vector<Run> runs;
  std::vector<std::wstring> started;
  // Characters that the fake's code page lacks.
  std::wstring notInCodePage = L"\u00e9\U0001F600";

  void StartProcess(const std::wstring& commandLine, ShowState) override {
    Log(L"StartProcess");
    Fail(L"StartProcess", commandLine);
    started.push_back(commandLine);
  }
  CommandResult RunBatchFile(const std::wstring& batchPath, const std::wstring& currentDirectory,
                             std::chrono::milliseconds timeLimit) override {
    Log(L"RunBatchFile");
    Fail(L"RunBatchFile", batchPath);
    auto it = files.find(batchPath);
    runs.push_back({batchPath, currentDirectory, it == files.end() ? L"<missing>" : it->second, timeLimit});
    if (whileCommandRuns) whileCommandRuns();
    return runResult;
  }
  bool RepresentableInAnsi(const std::wstring& text) override {
    return text.find_first_of(notInCodePage) == std::wstring::npos;
  }
  void WriteTextFile(const std::wstring& path, const std::wstring& line) override {
    Log(L"WriteTextFile");
    Fail(L"WriteTextFile", path);
    files[path] = line + L"\r\n";
  }
  std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) override {
    Log(L"WriteFileBytes");
    Fail(L"WriteFileBytes", path);
    return nullptr;
  }
  void DeleteFile(const std::wstring& path) override {
    Log(L"DeleteFile");
    Fail(L"DeleteFile", path);
    files.erase(path);
  }
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
  std::vector<std::uint8_t> LoadResourceBytes(const std::wstring& type, int id) override {
    Log(L"LoadResourceBytes");
    Fail(L"LoadResourceBytes", type + std::to_wstring(id));
    return {};
  }

  void Fail(const std::wstring& operation, const std::wstring& subject) {
    if (failing.count(operation)) throw PlatformError(operation, subject, L"拒绝访问。");
  }

  void ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) override {
    Log(L"ShowMessage");
    messages.push_back({text, icon, caption});
    if (whileMessageShown) {
      auto action = std::move(whileMessageShown);
      whileMessageShown = nullptr;
      action();
    }
  }
  std::wstring AppDirectory() override {
    Log(L"AppDirectory");
    if (failAppDirectory) throw PlatformError(L"确定程序所在的目录", L"Lumvora.exe", L"系统找不到指定的文件。");
    return appDirectory;
  }
  Version VersionNumbers() override {
    Log(L"VersionNumbers");
    return version;
  }
  bool PreviousInstance() override {
    Log(L"PreviousInstance");
    return previousInstance;
  }
  [[noreturn]] void EndProcess() override {
    Log(L"EndProcess");
    ++endProcessCalls;
    throw ProcessEnded{};
  }

  void Log(const std::wstring& entry) {
    if (log != nullptr) log->push_back(entry);
  }
};

class FakeForm1View : public Form1View {
 public:
  std::vector<std::wstring>* log = nullptr;
  std::wstring verInfo = L"程序版本：1.2.0";
  std::wstring text1 = L"LumvoSoft";
  std::wstring text2;
  bool shown = false;

  void SetVerInfoCaption(const std::wstring& caption) override {
    Log(L"SetVerInfoCaption");
    verInfo = caption;
  }
  std::wstring Text1() override { return text1; }
  std::wstring Text2() override { return text2; }
  void Show() override {
    Log(L"Show");
    shown = true;
  }
  bool busy = false;
  void SetBusy(bool value) override {
    Log(value ? L"Busy" : L"Idle");
    busy = value;
  }

  void Log(const std::wstring& entry) {
    if (log != nullptr) log->push_back(entry);
  }
};

}  // namespace lumvora::testing
