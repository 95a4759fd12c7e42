// Recording fakes, one per interface the logic reaches Windows through, the main window's views, and the
// controller on all of them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/main_controller.h"

namespace lumvora::testing {

// Every call in order, one word each, in the one log that a test gives: so tests can check the sequence across
// the fakes and the views.
struct Recording {
  std::vector<std::wstring>* log = nullptr;
  void Log(const std::wstring& entry) {
    if (log != nullptr) log->push_back(entry);
  }
};

// A file system of names and contents, and the operations that should fail, by name.
struct FakeFiles : Recording {
  std::map<std::wstring, std::wstring> files;
  std::set<std::wstring> failing;
  void Fail(const std::wstring& operation, const std::wstring& subject) {
    if (failing.count(operation)) throw PlatformError(operation, subject, L"拒绝访问。");
  }
};

// Thrown by the fake EndProcess: the real one never returns, so the code after it must not run either.
struct ProcessEnded {};

struct ShownMessage {
  std::wstring text;
  MessageIcon icon;
  std::wstring caption;
};

class FakeSession : public SessionOperations, public FakeFiles {
 public:
  std::vector<ShownMessage> messages;
  Version version{1, 2, 0};
  std::wstring appDirectory = L"C:\\Apps\\Lumvora";
  bool previousInstance = false;
  bool failAppDirectory = false;
  bool commandsEnded = false;
  int endProcessCalls = 0;
  // Lets a test act while a message is on screen, as a re-entrant window message would.
  std::function<void()> whileMessageShown;

  void ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) override {
    Log(L"ShowMessage");
    messages.push_back({text, icon, caption});
    if (auto action = std::move(whileMessageShown)) {
      whileMessageShown = nullptr;
      action();
    }
  }
  std::wstring AppDirectory() override {
    Log(L"AppDirectory");
    if (failAppDirectory) throw PlatformError(L"确定程序所在的目录", L"Lumvora.exe", L"系统找不到指定的文件。");
    return appDirectory;
  }
  Version VersionNumbers() override { return Log(L"VersionNumbers"), version; }
  bool PreviousInstance() override { return Log(L"PreviousInstance"), previousInstance; }
  void ShowPreviousInstance() override { Log(L"ShowPreviousInstance"); }
  void EndCommands(bool ending) override {
    Log(ending ? L"EndCommands" : L"ResumeCommands");
    commandsEnded = ending;
  }
  void DeleteFile(const std::wstring& path) override {
    Log(L"DeleteFile");
    Fail(L"DeleteFile", path);
    files.erase(path);
  }
  [[noreturn]] void EndProcess() override {
    Log(L"EndProcess");
    ++endProcessCalls;
    throw ProcessEnded{};
  }
};

// Contents hold one byte per character. A held file cannot be written, renamed or deleted ("held").
class FakeHelpFiles : public HelpFiles, public FakeFiles {
 public:
  std::set<std::wstring> held;
  std::set<std::wstring> hidden;  // files that exist with the hidden attribute
  std::vector<std::uint8_t> resource;
  long failWriteAt = -1;  // the byte at which writing fails
  struct Started {
    std::wstring program, commandLine;
    bool operator==(const Started&) const = default;
  };
  std::vector<Started> started;

  std::vector<std::uint8_t> LoadResourceBytes(const std::wstring& type, int id) override {
    Log(L"LoadResourceBytes " + type + L" " + std::to_wstring(id));
    Fail(L"LoadResourceBytes", type + std::to_wstring(id));
    return resource;
  }
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0 && hidden.count(path) == 0; }
  class FakeReadLock : public ReadLock {
   public:
    FakeReadLock(FakeHelpFiles& owner, std::wstring path) : owner_(owner), path_(std::move(path)) {
      owner_.held.insert(path_);
    }
    ~FakeReadLock() override { owner_.held.erase(path_); }

   private:
    FakeHelpFiles& owner_;
    std::wstring path_;
  };
  std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override {
    Log(L"HoldIfIdentical");
    if (failing.count(L"HoldIfIdentical") || files.count(path) == 0) return nullptr;
    const std::wstring& content = files.at(path);
    if (std::vector<std::uint8_t>(content.begin(), content.end()) != bytes) return nullptr;
    return std::make_unique<FakeReadLock>(*this, path);
  }
  class FakeWriter : public ByteWriter {
   public:
    FakeWriter(FakeHelpFiles& owner, std::wstring path) : owner_(owner), path_(std::move(path)) {}
    void Write(std::uint8_t byte) override {
      if (owner_.failWriteAt >= 0 && written_ == static_cast<size_t>(owner_.failWriteAt)) {
        throw PlatformError(L"写入文件", path_, L"磁盘空间不足。");
      }
      std::wstring& content = owner_.files[path_];
      if (written_ < content.size()) {
        content[written_] = byte;
      } else {
        content += static_cast<wchar_t>(byte);
      }
      ++written_;
    }
    void Close() override {
      owner_.Log(L"CloseFile");
      owner_.Fail(L"CloseFile", path_);
    }

   private:
    FakeHelpFiles& owner_;
    std::wstring path_;
    size_t written_ = 0;
  };
  std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) override {
    Log(L"WriteFileBytes");
    Fail(L"WriteFileBytes", path);
    if (files.count(path)) throw PlatformError(L"创建文件", path, L"文件已存在。");
    files[path];
    return std::make_unique<FakeWriter>(*this, path);
  }
  void RenameFile(const std::wstring& from, const std::wstring& to) override {
    Log(L"RenameFile");
    Fail(L"RenameFile", to);
    if (held.count(to)) throw PlatformError(L"重命名文件", to, L"另一个程序正在使用此文件，进程无法访问。");
    files[to] = files.at(from);
    files.erase(from);
    hidden.erase(to);
  }
  void DeleteFile(const std::wstring& path) override {
    Log(L"DeleteFile");
    Fail(L"DeleteFile", path);
    if (held.count(path)) throw PlatformError(L"删除文件", path, L"另一个程序正在使用此文件，进程无法访问。");
    files.erase(path);
  }
  std::wstring WindowsDirectory() override { return L"C:\\Windows"; }
  void StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState) override {
    Log(L"StartProcess");
    Fail(L"StartProcess", programPath);
    started.push_back({programPath, commandLine});
  }
};

class FakeCommand : public CommandOperations, public FakeFiles {
 public:
  // Characters that the fake's code page lacks.
  std::wstring notInCodePage = L"\u00e9\U0001F600";
  // What the next batch run reports, and what it saw.
  CommandResult runResult{true, 0, L""};
  std::function<void()> whileCommandRuns;
  struct Run {
    std::wstring batchPath, batchContent;
    std::chrono::milliseconds timeLimit;
  };
  std::vector<Run> runs;
  // What the wireless API answers; by default there is none, and the exit code alone decides.
  HostedNetworkState hostedNetwork;
  bool elevated = true;
  const bool* sessionEnding = nullptr;  // the session fake's, in a rig

  bool SessionEnding() override { return sessionEnding != nullptr && *sessionEnding; }
  bool RepresentableInBatchFile(const std::wstring& text) override {
    return text.find_first_of(notInCodePage) == std::wstring::npos;
  }
  // A held file leaves the fake file system on Delete() ("DeleteFile" can be made to fail) or when dropped.
  class FakeHeldFile : public HeldFile {
   public:
    FakeHeldFile(FakeCommand& owner, std::wstring path) : owner_(owner), path_(std::move(path)) {}
    ~FakeHeldFile() override { owner_.files.erase(path_); }
    void Delete() override {
      owner_.Log(L"DeleteFile");
      owner_.Fail(L"DeleteFile", path_);
      owner_.files.erase(path_);
    }

   private:
    FakeCommand& owner_;
    std::wstring path_;
  };
  std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line) override {
    Log(L"WriteHeldTextFile");
    Fail(L"WriteHeldTextFile", path);
    files[path] = line + L"\r\n";
    return std::make_unique<FakeHeldFile>(*this, path);
  }
  CommandResult RunBatchFile(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) override {
    Log(L"RunBatchFile");
    Fail(L"RunBatchFile", batchPath);
    auto it = files.find(batchPath);
    runs.push_back({batchPath, it == files.end() ? L"<missing>" : it->second, timeLimit});
    if (whileCommandRuns) whileCommandRuns();
    return runResult;
  }
  HostedNetworkState QueryHostedNetwork() override { return Log(L"QueryHostedNetwork"), hostedNetwork; }
  bool Elevated() override { return elevated; }
};

// Runs the work at once on the session that a test gives it, or never, as a run out of time.
class FakeSharing : public ConnectionSharing, public Recording {
 public:
  SharingSession* session = nullptr;
  bool finishes = true;
  bool settled = true;  // what WaitForOutstanding answers
  bool WaitForOutstanding(std::chrono::milliseconds) override { return settled; }
  bool Run(std::function<void(SharingSession&)> work, std::chrono::milliseconds) override {
    Log(L"Sharing");
    if (session == nullptr) ADD_FAILURE() << "the connection sharing is asked, and no test set it up";
    if (finishes && session != nullptr) work(*session);
    return finishes;
  }
};

// Scripted; by default this Windows has no Mobile Hotspot.
class FakeMobileHotspot : public MobileHotspot {
 public:
  bool available = false;
  MobileHotspotResult configured, started, stopped, queried;
  std::wstring calls;

  bool Available() override { return calls += L"Available ", available; }
  MobileHotspotResult Configure(const std::wstring& ssid, const std::wstring& key) override {
    calls += L"Configure(" + ssid + L"," + key + L") ";
    return configured;
  }
  MobileHotspotResult Start() override { return calls += L"Start ", started; }
  MobileHotspotResult Stop() override { return calls += L"Stop ", stopped; }
  MobileHotspotResult Query() override { return calls += L"Query ", queried; }
  bool WaitForOutstanding(std::chrono::milliseconds) override { return true; }
};

// By default runs the work and then done at once, as a worker that finished at once would. With hold set,
// both wait for Finish(), so that a test can act while a command runs.
class FakeWorker : public Worker {
 public:
  bool hold = false;
  std::function<void()> work, done;
  void Start(std::function<void()> w, std::function<void()> d) override {
    work = std::move(w);
    done = std::move(d);
    if (!hold) Finish();
  }
  void Finish() {
    RunWork();
    if (auto d = std::move(done)) {
      done = nullptr;
      d();
    }
  }
  void RunWork() {
    if (auto w = std::move(work)) {
      work = nullptr;
      w();
    }
  }
  int waits = 0;
  bool WaitForWork(std::chrono::milliseconds) override {
    ++waits;
    RunWork();
    return true;
  }
};

class FakeMainView : public MainView, public Recording {
 public:
  std::wstring versionCaption = L"程序版本：1.2.0";
  std::wstring ssid = L"LumvoSoft";
  std::wstring key;
  bool shown = false;
  bool busy = false;

  void SetVersionCaption(const std::wstring& caption) override {
    Log(L"SetVersionCaption");
    versionCaption = caption;
  }
  std::wstring Ssid() override { return ssid; }
  std::wstring Key() override { return key; }
  void Show() override { Log(L"Show"), shown = true; }
  void Hide() override { Log(L"HideMainView"), shown = false; }
  void ShowAgain() override { Log(L"ShowMainViewAgain"), shown = true; }
  void SetBusy(bool value) override { Log(value ? L"Busy" : L"Idle"), busy = value; }
};

class FakeHelpProgressView : public HelpProgressView, public Recording {
 public:
  bool shown = false;
  float min = -1, max = -1, lastValue = -1;
  size_t valueCalls = 0;
  bool valuesInOrder = true;

  void Show() override { Log(L"ShowHelpProgress"), shown = true; }
  void Close() override { Log(L"CloseHelpProgress"), shown = false; }
  void SetBarMin(float value) override { min = value; }
  void SetBarMax(float value) override { max = value; }
  void SetBarValue(float value) override {
    if (value < lastValue) valuesInOrder = false;
    lastValue = value;
    ++valueCalls;
  }
};

// Scripted: reads give what the test set, on a Windows without the Mobile Hotspot; the ANSI code page is
// marked, so that a test sees it was used.
class FakeHotspotStatusReader : public HotspotStatusReader {
 public:
  HostedNetworkReading hosted;
  int reads = 0;
  HostedNetworkReading ReadHostedNetwork() override { return ++reads, hosted; }
  bool MobileHotspotAvailable() override { return false; }
  MobileHotspotResult ReadMobileHotspot() override { return {}; }
  std::wstring FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) override {
    return L"ANSI:" + std::wstring(bytes.begin(), bytes.end());
  }
};

class FakeHotspotStatusView : public HotspotStatusView {
 public:
  bool open = false;
  HotspotStatusContent content;
  std::chrono::milliseconds refreshAfter{0};  // 0: none asked for
  void Open() override { open = true; }
  bool IsOpen() const override { return open; }
  void Show(const HotspotStatusContent& shown) override { content = shown; }
  void RefreshAfter(std::chrono::milliseconds delay) override { refreshAfter = delay; }
};

// The controller on a fake of everything it reaches, all writing to one log. The sharing and the Mobile
// Hotspot are there to be asked only where a test sets them up.
struct ControllerRig {
  explicit ControllerRig(std::chrono::milliseconds commandTimeLimit = kCommandTimeLimit)
      : capabilities{session, helpFiles, command, worker, sharing, mobileHotspot, hotspotStatus},
        statusController(capabilities, statusWorker, statusView),
        controller(capabilities, view, helpProgress, statusController, commandTimeLimit) {
    session.log = helpFiles.log = command.log = sharing.log = view.log = helpProgress.log = &log;
    command.sessionEnding = &session.commandsEnded;
  }

  std::vector<std::wstring> log;
  FakeSession session;
  FakeHelpFiles helpFiles;
  FakeCommand command;
  FakeWorker worker;
  FakeSharing sharing;
  FakeMobileHotspot mobileHotspot;
  FakeMainView view;
  FakeHelpProgressView helpProgress;
  FakeHotspotStatusReader hotspotStatus;
  FakeWorker statusWorker;
  FakeHotspotStatusView statusView;
  const Capabilities capabilities;
  HotspotStatusController statusController;
  MainController controller;
};

}  // namespace lumvora::testing
