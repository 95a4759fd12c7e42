// The files and the process that help delivery needs: the document carried in the exe, written out next to
// it and held, and the viewer started on it. Nothing here includes a Windows header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lumvora {

// How a started process shows its window. Both states activate the window.
enum class ShowState { MinimizedActive, NormalActive };

// A file held open for reading: while the lock lives, anyone may read the file and nobody may change it.
class ReadLock {
 public:
  virtual ~ReadLock() = default;
};

// A file being written one byte at a time. Each byte goes at the current position, in order.
class ByteWriter {
 public:
  virtual ~ByteWriter() = default;
  virtual void Write(std::uint8_t byte) = 0;
  // Flushes and closes; a failure to do so is reported here, not lost in a destructor.
  virtual void Close() = 0;
};

class HelpFiles {
 public:
  virtual ~HelpFiles() = default;

  virtual std::vector<std::uint8_t> LoadResourceBytes(const std::wstring& type, int id) = 0;
  // True for an existing file that is neither hidden nor a system file.
  virtual bool FileExists(const std::wstring& path) = 0;
  // Opens the file itself (not what a link at the path points to) so that anyone may read it but nobody may
  // write, rename, replace or delete it, and reads it through that handle. Returns the lock, to keep for as
  // long as the file must stay as it is, when the file holds exactly these bytes; nothing when it holds
  // others or cannot be opened so.
  virtual std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path,
                                                    const std::vector<std::uint8_t>& bytes) = 0;
  // Creates the file new for writing bytes; fails when anything lies at the path already, so that nothing
  // is ever written through a link planted there.
  virtual std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) = 0;
  // Renames a file, replacing one of the new name.
  virtual void RenameFile(const std::wstring& from, const std::wstring& to) = 0;
  // The file is gone on return (a file that was not there counts as gone).
  virtual void DeleteFile(const std::wstring& path) = 0;
  // The system's Windows directory, where the help viewer lives (the same for every user, also on a Remote
  // Desktop host).
  virtual std::wstring WindowsDirectory() = 0;
  // Starts the program at its full path (never looked for anywhere) with the command line, and returns at
  // once.
  virtual void StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState show) = 0;
};

}  // namespace lumvora
