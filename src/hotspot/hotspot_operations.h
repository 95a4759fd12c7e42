// The three hotspot commands: their command lines, batch files and the texts the user sees.
#pragma once

#include <optional>
#include <string>

#include "hotspot/hotspot_command.h"

namespace lumvora {

inline constexpr wchar_t kNoticeCaption[] = L"提示";
inline constexpr wchar_t kEmptySsidText[] = L"热点名称(SSID)不能为空！";
inline constexpr wchar_t kCreatePrefix[] = L"netsh wlan set hostednetwork mode=allow ssid =";
inline constexpr wchar_t kKeyTag[] = L" Key=";
inline constexpr wchar_t kStartCommand[] = L"netsh wlan start hostednetwork";
inline constexpr wchar_t kCloseCommand[] = L"netsh wlan set hostednetwork mode=disallow";
inline constexpr wchar_t kCreateBatchFile[] = L"WXRD.bat";
inline constexpr wchar_t kStartBatchFile[] = L"QDWXRD.bat";
inline constexpr wchar_t kCloseBatchFile[] = L"GBWXRD.bat";
// Every batch file the program writes: a run that was killed leaves its file, with the key, behind.
inline constexpr const wchar_t* kBatchFileNames[] = {kCreateBatchFile, kStartBatchFile, kCloseBatchFile};

// What stands in the way of passing a typed value to netsh through a batch file.
enum class ValueProblem { None, QuoteOrControl, NotInCodePage };

// Characters that the command interpreter would take as its own: a quote or a control character can
// never be passed safely.
bool HasQuoteOrControl(const std::wstring& value);

// What stands in the way of passing the value: a quote or control character first, then a character that
// the batch file's code page lacks.
ValueProblem ProblemWith(const std::wstring& value, CommandOperations& command);

// The value as it must stand in the batch line for netsh to receive exactly what was typed: "%" doubled
// (a batch file expands it even inside quotes), and the whole in double quotes when it holds a blank or a
// character that the interpreter treats specially, with the backslashes right before the closing quote
// doubled. A plain value stands as it is.
std::wstring ProtectForBatch(const std::wstring& value);

std::wstring BuildCreateCommand(const std::wstring& ssid, const std::wstring& key);

// The notice for a value that cannot be passed, or nothing when it can. The field is "热点名称(SSID)" or
// "密钥(KEY)".
std::optional<std::wstring> RefusalFor(const wchar_t* field, ValueProblem problem);

// Create keeps the values as typed, to check them against what Windows keeps.
HotspotOperation CreateOperation(std::wstring commandLine, std::wstring ssid, std::wstring key);
HotspotOperation StartOperation();
HotspotOperation CloseOperation();

}  // namespace lumvora
