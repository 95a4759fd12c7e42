// The Win32 platform layer, run for real under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_platform.h"

#include <shellapi.h>

using lumvora::PlatformError;
using lumvora::ShowState;
using lumvora::win32::DirectoryOfPath;
using lumvora::win32::BatchFileCodePage;
using lumvora::win32::ToCodePage;
using lumvora::win32::Win32Platform;

namespace {

// A directory of its own under the temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"lumvora_w32_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter_++);
    ::CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() {
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        ::SetFileAttributesW((path_ + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW((path_ + L"\\" + name).c_str());
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryW(path_.c_str());
  }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  const std::wstring& Path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::wstring path_;
};

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Touch(const std::wstring& path, const std::string& content = "x") {
  std::ofstream out(path.c_str(), std::ios::binary);
  out << content;
}

Win32Platform MakePlatform() { return Win32Platform(::GetModuleHandleW(nullptr), L""); }

// Text as a batch file holds it, in the console's code page.
std::string Oem(const std::wstring& text) { return ToCodePage(text, BatchFileCodePage()).value(); }

TEST(Win32Platform, ReadsMajorMinorAndTheFourthNumberAsRevision) {
  Win32Platform platform = MakePlatform();
  const lumvora::Version version = platform.VersionNumbers();
  EXPECT_EQ(version.major, 3);
  EXPECT_EQ(version.minor, 4);
  EXPECT_EQ(version.revision, 7);
}

TEST(Win32Platform, LoadsACustomResourceWhole) {
  Win32Platform platform = MakePlatform();
  const auto bytes = platform.LoadResourceBytes(L"CUSTOM", 101);
  const std::string expected("Lumvora test resource\x00\x01\xff", 24);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
  EXPECT_THROW(platform.LoadResourceBytes(L"CUSTOM", 999), PlatformError);
}

TEST(Win32Platform, FileExistsOnlyForVisibleOrdinaryFiles) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring file = dir.File(L"plain.chm");
  EXPECT_FALSE(platform.FileExists(file));
  Touch(file);
  EXPECT_TRUE(platform.FileExists(file));
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(platform.FileExists(file)) << "read-only is still an ordinary file";
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(platform.FileExists(file));
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_SYSTEM);
  EXPECT_FALSE(platform.FileExists(file));
  EXPECT_FALSE(platform.FileExists(dir.Path())) << "a directory is not a file";
}

TEST(Win32Platform, PreviousInstanceSeesAnEarlierHolderOfTheMutexOnly) {
  Win32Platform first = MakePlatform();
  EXPECT_FALSE(first.PreviousInstance());
  EXPECT_FALSE(first.PreviousInstance()) << "asking again must not find itself";
  Win32Platform second = MakePlatform();
  EXPECT_TRUE(second.PreviousInstance());
}

TEST(Win32Platform, DirectoryOfPathKeepsTheBackslashOnlyAtADriveRoot) {
  EXPECT_EQ(DirectoryOfPath(L"C:\\Lumvora.exe"), L"C:\\");
  EXPECT_EQ(DirectoryOfPath(L"C:\\Program Files\\Lumvora\\Lumvora.exe"), L"C:\\Program Files\\Lumvora");
  EXPECT_EQ(DirectoryOfPath(L"\\\\server\\share\\Lumvora.exe"), L"\\\\server\\share");

  Win32Platform platform = MakePlatform();
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring directory = platform.AppDirectory();
  EXPECT_NE(directory.back(), L'\\');
  EXPECT_EQ(std::wstring(self).rfind(directory + L"\\", 0), 0u);
}

TEST(Win32Platform, ADoubledBackslashStillNamesTheSameFile) {
  // What a file name built from the directory of an exe at a drive root looks like.
  TempDir dir;
  Win32Platform platform = MakePlatform();
  platform.WriteHeldTextFile(dir.Path() + L"\\\\double.bat", L"x")->Delete();
  Touch(dir.File(L"double.bat"), "x");
  EXPECT_TRUE(platform.FileExists(dir.Path() + L"\\\\double.bat"));
  wchar_t windows[MAX_PATH];
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring root = std::wstring(windows).substr(0, 3);  // "C:\"
  auto held = platform.WriteHeldTextFile(root + L"\\lumvora_root_probe.bat", L"y");
  EXPECT_EQ(ReadAll(root + L"lumvora_root_probe.bat"), "y\r\n");
  held->Delete();
  EXPECT_EQ(::GetFileAttributesW((root + L"lumvora_root_probe.bat").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Platform, BatchFilesAreWrittenInTheConsoleCodePageAndLossIsRefused) {
  ASSERT_EQ(::GetOEMCP(), 936u) << "the tests run with LC_ALL=zh_CN.UTF-8";
  EXPECT_EQ(BatchFileCodePage(), 936u);
  EXPECT_EQ(ToCodePage(L"热点LumvoSoft", 936), std::optional<std::string>("\xC8\xC8\xB5\xE3LumvoSoft"));
  EXPECT_EQ(ToCodePage(L"", 936), std::optional<std::string>(""));
  // A character outside GBK: Windows would write "?" in its place and say nothing.
  EXPECT_EQ(ToCodePage(L"net\U0001F600", 936), std::nullopt);
  EXPECT_EQ(ToCodePage(L"\u0E01", 936), std::nullopt);  // Thai
  // A character that best-fit mapping would turn into a look-alike in code page 1252.
  EXPECT_EQ(ToCodePage(L"\u0100", 1252), std::nullopt);
  // Where the two code pages differ, the console's decides: Cyrillic in 866, and no "é" there.
  EXPECT_EQ(ToCodePage(L"Сеть", 866), std::optional<std::string>("\x91\xA5\xE2\xEC"));
  EXPECT_EQ(ToCodePage(L"Café", 866), std::nullopt);
  // Windows set to UTF-8: every character passes, an unpaired surrogate does not.
  EXPECT_EQ(ToCodePage(L"Café热点\U0001F600", CP_UTF8),
            std::optional<std::string>("Caf\xC3\xA9\xE7\x83\xAD\xE7\x82\xB9\xF0\x9F\x98\x80"));
  EXPECT_EQ(ToCodePage(L"a\xD800" L"b", CP_UTF8), std::nullopt);
}

// Written anew in the console's code page, never through what lay at the path (here a hard link to another
// file, which must keep its bytes).
TEST(Win32Platform, AHeldTextFileIsWrittenAnewInTheConsoleCodePageAndLossIsRefused) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring file = dir.File(L"WXRD.bat");
  const std::wstring other = dir.File(L"other.txt");
  Touch(other, std::string(100, 'Z'));
  ASSERT_TRUE(::CreateHardLinkW(file.c_str(), other.c_str(), nullptr));
  auto held = platform.WriteHeldTextFile(file, L"ssid =热点");
  EXPECT_EQ(ReadAll(file), "ssid =\xC8\xC8\xB5\xE3\r\n");
  EXPECT_EQ(ReadAll(other), std::string(100, 'Z'));
  held->Delete();
  try {
    platform.WriteHeldTextFile(file, L"ssid =\U0001F600");
    FAIL() << "a character outside the code page must be refused";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Subject(), file);
  }
  EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing written";
  try {
    platform.WriteHeldTextFile(dir.File(L"missing\\WXRD.bat"), L"x");
    FAIL() << "a file in a missing directory cannot be written";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Operation(), L"创建文件");
    EXPECT_FALSE(error.SystemText().empty());
  }
}

// What another program changed between the writing and the lock is caught: nothing is held, the file goes.
// One that still has the file open for writing keeps the lock from being taken.
TEST(Win32Platform, TheLockIsRefusedOnAFileThatWasChangedOrIsStillOpenForWriting) {
  TempDir dir;
  const std::wstring file = dir.File(L"QDWXRD.bat");
  const struct {
    const char* what;
    std::string present;
    const wchar_t* operation;
  } cases[] = {{"changed", "netsh wlan start hostednetwork\r\n&evil\r\n", L"核对文件"},
               {"cut short", "netsh wlan start", L"核对文件"},
               {"open for writing", "netsh wlan start hostednetwork\r\n", L"锁定文件"}};
  for (const auto& c : cases) {
    Touch(file, c.present);
    const bool keepOpen = std::string(c.what) == "open for writing";
    const HANDLE writer = keepOpen ? ::CreateFileW(file.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
    try {
      lumvora::win32::LockWrittenFile(file, "netsh wlan start hostednetwork\r\n");
      ADD_FAILURE() << c.what << ": locked";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.Operation(), c.operation) << c.what;
      EXPECT_EQ(error.Subject(), file) << c.what;
    }
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << c.what << ": not left behind";
  }
}

TEST(Win32Platform, WriteFileBytesWritesANewFileInOrderAndNeverOneThatIsThere) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring file = dir.File(L"out.bin");
  std::string expected;
  {
    auto writer = platform.WriteFileBytes(file);
    for (int i = 0; i < 200000; ++i) {
      const auto byte = static_cast<std::uint8_t>((i * 7) ^ (i >> 8));
      writer->Write(byte);
      expected.push_back(static_cast<char>(byte));
    }
    writer->Close();
  }
  EXPECT_EQ(ReadAll(file), expected);
  // Whatever lies at the path, a hard link to another file above all, is never written through.
  const std::wstring link = dir.File(L"link.bin");
  ASSERT_TRUE(::CreateHardLinkW(link.c_str(), file.c_str(), nullptr));
  for (const std::wstring& there : {file, link}) EXPECT_THROW(platform.WriteFileBytes(there), lumvora::PlatformError);
  EXPECT_EQ(ReadAll(file), expected);
}

// The help document as checked: held so that readers get in and nobody can write, replace or delete it;
// a file with other bytes is not held at all.
TEST(Win32Platform, HoldIfIdenticalHoldsOnlyTheExactBytesAgainstWritersAndDeleters) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring file = dir.File(L"doc.chm");
  const std::vector<std::uint8_t> bytes{'I', 'T', 'S', 'F', 0, 1, 2};
  Touch(file, std::string(bytes.begin(), bytes.end()));
  for (const auto& other : {std::vector<std::uint8_t>{'I', 'T', 'S', 'F', 0, 1}, std::vector<std::uint8_t>{'I', 'T', 'S', 'F', 0, 1, 2, 3}}) {
    EXPECT_EQ(platform.HoldIfIdentical(file, other), nullptr);
  }
  EXPECT_EQ(platform.HoldIfIdentical(dir.File(L"missing.chm"), bytes), nullptr);
  {
    const auto lock = platform.HoldIfIdentical(file, bytes);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(::DeleteFileW(file.c_str()));
    const HANDLE reader =
        ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    ::CloseHandle(reader);
  }
  EXPECT_TRUE(::DeleteFileW(file.c_str())) << "let go with the lock";
}

TEST(Win32Platform, DeleteFileRemovesAndToleratesAMissingFile) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring file = dir.File(L"QDWXRD.bat");
  Touch(file);
  platform.DeleteFile(file);
  EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NO_THROW(platform.DeleteFile(file));
  // A file held open without delete sharing cannot go, and the caller must hear of it.
  Touch(file);
  const HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_THROW(platform.DeleteFile(file), PlatformError);
  ::CloseHandle(held);
}

// The child half of the StartProcess test: reports how it was asked to show its window.
int ReportStartupInfo(const wchar_t* reportPath) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  ::GetStartupInfoW(&startup);
  std::ofstream out(reportPath, std::ios::binary);
  out << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) << ' ' << startup.wShowWindow;
  return 0;
}

std::string WaitForFile(const std::wstring& path) {
  for (int i = 0; i < 200; ++i) {
    const std::string content = ReadAll(path);
    if (!content.empty()) return content;
    ::Sleep(50);
  }
  return std::string();
}

TEST(Win32Platform, StartProcessPassesTheShowStateAndDoesNotWait) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const struct {
    ShowState state;
    const char* expected;
  } cases[] = {{ShowState::MinimizedActive, "1 2"}, {ShowState::NormalActive, "1 1"}};
  int n = 0;
  for (const auto& c : cases) {
    const std::wstring report = dir.File(L"report" + std::to_wstring(n++) + L".txt");
    const DWORD before = ::GetTickCount();
    platform.StartProcess(self, L"\"" + std::wstring(self) + L"\" --report-startupinfo \"" + report + L"\"", c.state);
    EXPECT_LT(::GetTickCount() - before, 2000u);
    EXPECT_EQ(WaitForFile(report), c.expected);
  }
  // Only a full path: a bare or relative name would be looked for, beside the exe first.
  const std::wstring name = std::wstring(self).substr(std::wstring(self).find_last_of(L'\\') + 1);
  ::SetCurrentDirectoryW(std::wstring(self).substr(0, std::wstring(self).find_last_of(L'\\')).c_str());
  for (const std::wstring& notFull : {name, L".\\" + name, L"\\" + name}) {
    EXPECT_THROW(platform.StartProcess(notFull, notFull + L" --report-startupinfo x", ShowState::NormalActive),
                 PlatformError)
        << ::testing::PrintToString(notFull);
  }
  EXPECT_THROW(platform.StartProcess(dir.File(L"no_such_program.exe"), L"x", ShowState::NormalActive), PlatformError);
}

std::wstring SelfPath() {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return self;
}

TEST(Win32Platform, RunBatchFileCapturesMuchOutputAndTheExitCode) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring batch = dir.File(L"print.bat");
  // A megabyte: far more than a pipe holds, so a runner that only reads at the end would deadlock.
  Touch(batch, "\"" + Oem(SelfPath()) + "\" --print 1000000 3\r\n");
  const lumvora::CommandResult result = platform.RunBatchFile(batch, std::chrono::seconds(60));
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 3u);
  EXPECT_GE(result.output.size(), 200000u) << "kept up to the cap";
  EXPECT_EQ(result.output.substr(0, 6), L"热点0123") << "decoded from the OEM code page";
}

// The system directory, not the batch file's: a bare "netsh" must never find a file planted beside it.
TEST(Win32Platform, RunBatchFileRunsInTheSystemDirectoryWithoutEchoingTheLine) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring batch = dir.File(L"where.bat");
  Touch(batch, "cd\r\n");
  const lumvora::CommandResult result = platform.RunBatchFile(batch, std::chrono::seconds(60));
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  std::wstring printed = result.output;
  std::wstring system = lumvora::win32::SystemDirectory();
  for (std::wstring* text : {&printed, &system}) ::CharUpperW(text->data());
  EXPECT_NE(printed.find(system), std::wstring::npos) << "printed: " << ::testing::PrintToString(result.output);
  EXPECT_EQ(result.output.find(L">cd"), std::wstring::npos) << "the interpreter must not echo the line";
}

// Wine's own wlanapi.dll opens a handle, lists no adapter and cannot tell the hosted network's status: the
// API is there but says nothing, so that the exit code alone decides. Every Wine process is elevated.
TEST(Win32Platform, WinesWirelessApiTellsNothingOfTheHostedNetwork) {
  Win32Platform platform = MakePlatform();
  const lumvora::HostedNetworkState state = platform.QueryHostedNetwork();
  EXPECT_TRUE(state.apiPresent);
  EXPECT_TRUE(state.serviceRunning);
  EXPECT_FALSE(state.answered);
  EXPECT_FALSE(state.interfacesFound);
  EXPECT_TRUE(platform.Elevated());
}

// While held, the file can be read by any reader that shares reading, whatever else it shares (the
// interpreter's share mode is not documented), but not written, renamed, replaced or deleted by anyone else;
// Delete() removes it, and so does dropping it.
TEST(Win32Platform, AHeldTextFileIsReadableButLockedUntilDeleted) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring file = dir.File(L"QDWXRD.bat");
  const std::wstring moved = dir.File(L"moved.bat");
  auto open = [&](DWORD access, DWORD share) {
    return ::CreateFileW(file.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  for (bool deleteExplicitly : {true, false}) {
    auto held = platform.WriteHeldTextFile(file, L"netsh wlan start hostednetwork");
    for (DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, kShareAll}) {
      const HANDLE reader = open(GENERIC_READ, share);
      ASSERT_NE(reader, INVALID_HANDLE_VALUE) << "a reader sharing " << share << " must get in: " << ::GetLastError();
      char bytes[64] = {};
      DWORD read = 0;
      ::ReadFile(reader, bytes, sizeof(bytes), &read, nullptr);
      ::CloseHandle(reader);
      EXPECT_EQ(std::string(bytes, read), "netsh wlan start hostednetwork\r\n");
    }
    EXPECT_EQ(open(GENERIC_WRITE, kShareAll), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open(DELETE, kShareAll), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(::MoveFileExW(file.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    Touch(moved);
    EXPECT_FALSE(::MoveFileExW(moved.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) << "replaced";
    EXPECT_FALSE(::DeleteFileW(file.c_str()));
    if (deleteExplicitly) held->Delete();
    held.reset();
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << deleteExplicitly;
  }
}

// At the limit the interpreter is ended with what it started: here a program that would have written its
// marker after a while.
TEST(Win32Platform, RunBatchFileEndsTheCommandAndWhatItStartedAtTheTimeLimit) {
  Win32Platform platform = MakePlatform();
  TempDir dir;
  const std::wstring batch = dir.File(L"slow.bat");
  const std::wstring marker = dir.File(L"finished.txt");
  Touch(batch, "\"" + Oem(SelfPath()) + "\" --sleep 2500 \"" + Oem(marker) + "\"\r\n");
  const DWORD before = ::GetTickCount();
  const lumvora::CommandResult result = platform.RunBatchFile(batch, std::chrono::milliseconds(500));
  const DWORD took = ::GetTickCount() - before;
  EXPECT_FALSE(result.finished);
  EXPECT_GE(took, 450u);
  EXPECT_LT(took, 2000u);
  ::Sleep(3500);
  EXPECT_EQ(ReadAll(marker), "") << "the command was left running";
  EXPECT_TRUE(::DeleteFileW(batch.c_str())) << "the interpreter let go of the batch file";
}

}  // namespace

int main(int argc, char** argv) {
  int wargc = 0;
  wchar_t** wargv = ::CommandLineToArgvW(::GetCommandLineW(), &wargc);
  if (wargc == 3 && std::wstring(wargv[1]) == L"--report-startupinfo") return ReportStartupInfo(wargv[2]);
  if (wargc == 4 && std::wstring(wargv[1]) == L"--print") {
    // "热点" in code page 936, then digits, to the given length; exits with the given code.
    std::string text = "\xC8\xC8\xB5\xE3";
    const size_t length = static_cast<size_t>(_wtoi(wargv[2]));
    while (text.size() < length) text += static_cast<char>('0' + (text.size() - 4) % 10);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return _wtoi(wargv[3]);
  }
  if (wargc == 4 && std::wstring(wargv[1]) == L"--sleep") {
    ::Sleep(static_cast<DWORD>(_wtoi(wargv[2])));
    std::ofstream(wargv[3], std::ios::binary) << "done";
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
