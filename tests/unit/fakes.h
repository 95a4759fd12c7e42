// Recording fakes of the platform and the main window's view.
#pragma once

#include <functional>
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

  void Log(const std::wstring& entry) {
    if (log != nullptr) log->push_back(entry);
  }
};

}  // namespace lumvora::testing
