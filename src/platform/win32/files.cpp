#include "platform/win32/files.h"

#include <algorithm>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {

UINT BatchFileCodePage() { return ::GetOEMCP(); }

std::optional<std::string> ToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  // Best-fit mapping would turn characters silently into others; the default-character flag only works
  // without it. UTF-7 and UTF-8 reject both and would fail every call given them; they lose nothing but
  // unpaired surrogates, which the round trip below catches. The page must be a real number for this
  // choice: CP_ACP or CP_OEMCP stand for 65001 where Windows is set to UTF-8.
  const bool lossyPage = codePage != CP_UTF8 && codePage != CP_UTF7;
  const DWORD flags = lossyPage ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* usedDefaultPtr = lossyPage ? &usedDefault : nullptr;
  const int size = ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                                         0, nullptr, usedDefaultPtr);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        usedDefaultPtr);
  if (usedDefault) return std::nullopt;
  // Round-trip: a code page may also map a character to a different one without using the default.
  const int back = ::MultiByteToWideChar(codePage, 0, out.data(), size, nullptr, 0);
  std::wstring roundTrip(static_cast<size_t>(back), L'\0');
  ::MultiByteToWideChar(codePage, 0, out.data(), size, roundTrip.data(), back);
  if (roundTrip != text) return std::nullopt;
  return out;
}

namespace {

void WriteAll(HANDLE file, const void* data, DWORD size, const std::wstring& path) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes, size, &written, nullptr) || written == 0) {
      throw PlatformError(L"写入文件", path, SystemErrorText(::GetLastError()));
    }
    bytes += written;
    size -= written;
  }
}

// Bytes are gathered here and handed to the system in blocks: one system call per byte would make
// writing a file of a few hundred kilobytes take seconds.
class Win32ByteWriter : public ByteWriter {
 public:
  Win32ByteWriter(UniqueFileHandle file, std::wstring path) : file_(std::move(file)), path_(std::move(path)) {
    buffer_.reserve(kBlock);
  }
  ~Win32ByteWriter() override {
    // A writer dropped without Close() (a handler abandoned by an error) still hands over what it has;
    // errors here have nowhere to go.
    if (file_) {
      try {
        Flush();
      } catch (const PlatformError&) {
      }
    }
  }
  void Write(std::uint8_t byte) override {
    buffer_.push_back(byte);
    if (buffer_.size() == kBlock) Flush();
  }
  void Close() override {
    if (!file_) return;
    Flush();
    if (!::CloseHandle(file_.Release())) {
      throw PlatformError(L"关闭文件", path_, SystemErrorText(::GetLastError()));
    }
  }

 private:
  static constexpr size_t kBlock = 64 * 1024;
  void Flush() {
    if (buffer_.empty()) return;
    std::vector<std::uint8_t> pending;
    pending.swap(buffer_);
    buffer_.reserve(kBlock);
    WriteAll(file_.Get(), pending.data(), static_cast<DWORD>(pending.size()), path_);
  }

  UniqueFileHandle file_;
  std::wstring path_;
  std::vector<std::uint8_t> buffer_;
};

// Deletes a file that holds the key. A scanner that opened it the moment the lock went keeps it for a
// moment: tried again for about a second. ERROR_SUCCESS when it is gone (or was never there).
DWORD DeleteWithRetries(const std::wstring& path) {
  for (int attempt = 0;; ++attempt) {
    if (::DeleteFileW(path.c_str())) return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ERROR_SUCCESS;
    if (attempt == 10 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return error;
    ::Sleep(100);
  }
}

// The checked help document, open for reading and sharing reading only, for as long as it must stay as it
// is.
class Win32ReadLock : public ReadLock {
 public:
  explicit Win32ReadLock(UniqueFileHandle file) : file_(std::move(file)) {}

 private:
  UniqueFileHandle file_;
};

class Win32HeldFile : public HeldFile {
 public:
  Win32HeldFile(UniqueFileHandle lock, std::wstring path) : lock_(std::move(lock)), path_(std::move(path)) {}
  // A file that a killed run leaves is removed at the next start.
  ~Win32HeldFile() override {
    if (!lock_) return;
    lock_.Reset();
    DeleteWithRetries(path_);
  }
  void Delete() override {
    // The lock shares no delete access, so that nobody else can delete or rename the file: it must go
    // before the file can.
    lock_.Reset();
    const DWORD error = DeleteWithRetries(path_);
    if (error != ERROR_SUCCESS) throw PlatformError(L"删除文件", path_, SystemErrorText(error));
  }

 private:
  UniqueFileHandle lock_;
  std::wstring path_;
};

// Reads up to limit bytes and tells whether there was more.
bool ReadUpTo(HANDLE file, std::string& bytes, size_t limit, const std::wstring& path) {
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, sizeof(buffer), &read, nullptr)) {
      throw PlatformError(L"读取文件", path, SystemErrorText(::GetLastError()));
    }
    if (read == 0) return false;
    if (bytes.size() + read > limit) return true;
    bytes.append(buffer, read);
  }
}

}  // namespace

UniqueFileHandle LockWrittenFile(const std::wstring& path, const std::string& expected) {
  auto fail = [&](const wchar_t* operation, const std::wstring& why) {
    ::DeleteFileW(path.c_str());
    return PlatformError(operation, path, why);
  };
  // Not through a link put in its place: that would be read as something other than what was written.
  UniqueFileHandle lock(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!lock) throw fail(L"锁定文件", SystemErrorText(::GetLastError()));
  std::string present;
  const bool longer = ReadUpTo(lock.Get(), present, expected.size(), path);
  if (longer || present != expected) {
    lock.Reset();
    throw fail(L"核对文件",
               L"文件写入后被另一个程序改动了，命令没有运行。请把 Lumvora.exe 放到只有管理员能写入的文件夹中再试。");
  }
  return lock;
}

std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line) {
  const std::optional<std::string> bytes = ToCodePage(line, BatchFileCodePage());
  if (!bytes) {
    throw PlatformError(L"写入文件", path, L"文本中有系统代码页无法表示的字符。");
  }
  const std::string content = *bytes + "\r\n";
  // Whatever lies at the path goes first: writing through a hard link planted there would overwrite another
  // file with this program's rights. A failure to delete shows when the file cannot be created new.
  ::DeleteFileW(path.c_str());
  {
    // While it is written nobody may open it at all. A handle with write access would force every reader,
    // the interpreter too, to share write: it is closed before the lock is taken.
    UniqueFileHandle writer(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writer) throw PlatformError(L"创建文件", path, SystemErrorText(::GetLastError()));
    try {
      WriteAll(writer.Get(), content.data(), static_cast<DWORD>(content.size()), path);
    } catch (const PlatformError&) {
      writer.Reset();
      ::DeleteFileW(path.c_str());
      throw;
    }
    if (!::CloseHandle(writer.Release())) {
      const DWORD error = ::GetLastError();
      ::DeleteFileW(path.c_str());
      throw PlatformError(L"写入文件", path, SystemErrorText(error));
    }
  }
  return std::make_unique<Win32HeldFile>(LockWrittenFile(path, content), path);
}

std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  // Reading only, sharing reading only: the viewer and anyone else may read, nobody may write, rename,
  // replace or delete the file while the lock lives. The file itself, not what a link put at the path
  // points to: that could be changed behind the lock.
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return nullptr;
  std::string present;
  try {
    if (ReadUpTo(file.Get(), present, bytes.size(), path)) return nullptr;
  } catch (const PlatformError&) {
    return nullptr;
  }
  if (present.size() != bytes.size() || !std::equal(bytes.begin(), bytes.end(), present.begin(),
                                                     [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); })) {
    return nullptr;
  }
  return std::make_unique<Win32ReadLock>(std::move(file));
}

std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) {
  // New, never opened where something lies already: a hard link planted at the path would be written
  // through with this program's rights.
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
  if (!file) throw PlatformError(L"创建文件", path, SystemErrorText(::GetLastError()));
  return std::make_unique<Win32ByteWriter>(std::move(file), path);
}

void RemoveFile(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  throw PlatformError(L"删除文件", path, SystemErrorText(error));
}

void RenameFile(const std::wstring& from, const std::wstring& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
  DWORD error = ::GetLastError();
  // A hidden, system or read-only file of the new name does not count as the document; it is replaced.
  if (error == ERROR_ACCESS_DENIED && ::SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL) &&
      ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return;
  }
  error = ::GetLastError();
  throw PlatformError(L"重命名文件", from + L" → " + to, SystemErrorText(error));
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

}  // namespace lumvora::win32
