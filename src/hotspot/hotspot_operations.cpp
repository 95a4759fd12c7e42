#include "hotspot/hotspot_operations.h"

namespace lumvora {

bool HasQuoteOrControl(const std::wstring& value) {
  for (const wchar_t c : value) {
    if (c == L'"' || c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  }
  return false;
}

ValueProblem ProblemWith(const std::wstring& value, CommandOperations& command) {
  if (HasQuoteOrControl(value)) return ValueProblem::QuoteOrControl;
  if (!command.RepresentableInBatchFile(value)) return ValueProblem::NotInCodePage;
  return ValueProblem::None;
}

std::wstring ProtectForBatch(const std::wstring& value) {
  bool quote = false;
  std::wstring escaped;
  for (const wchar_t c : value) {
    if (c == L' ' || std::wstring_view(L"&|<>^(),;=!").find(c) != std::wstring_view::npos) quote = true;
    escaped += c;
    if (c == L'%') escaped += L'%';
  }
  if (!quote) return escaped;
  // netsh splits its command line by the C runtime's rules, under which backslashes right before a
  // double quote escape it: a value ending in a backslash would swallow the closing quote. Doubling that
  // last run makes it stand for itself; backslashes anywhere else are taken literally and stay as typed.
  const size_t lastOther = escaped.find_last_not_of(L'\\');
  const size_t trailing = escaped.size() - (lastOther == std::wstring::npos ? 0 : lastOther + 1);
  escaped.append(trailing, L'\\');
  return L"\"" + escaped + L"\"";
}

std::wstring BuildCreateCommand(const std::wstring& ssid, const std::wstring& key) {
  return kCreatePrefix + ProtectForBatch(ssid) + kKeyTag + ProtectForBatch(key);
}

std::optional<std::wstring> RefusalFor(const wchar_t* field, ValueProblem problem) {
  switch (problem) {
    case ValueProblem::None: return std::nullopt;
    case ValueProblem::QuoteOrControl: return std::wstring(field) + L"不能包含双引号或控制字符！";
    case ValueProblem::NotInCodePage: return std::wstring(field) + L"包含系统代码页无法表示的字符！";
  }
  return std::nullopt;
}

HotspotOperation CreateOperation(std::wstring commandLine, std::wstring ssid, std::wstring key) {
  return {HotspotKind::Create, std::move(commandLine), kCreateBatchFile, L"无线热点创建成功！", L"无线热点创建失败！",
          std::move(ssid), std::move(key)};
}

HotspotOperation StartOperation() {
  return {HotspotKind::Start, kStartCommand, kStartBatchFile, L"无线热点启动成功！", L"无线热点启动失败！", {}, {}};
}

HotspotOperation CloseOperation() {
  return {HotspotKind::Close, kCloseCommand, kCloseBatchFile, L"无线热点已关闭！", L"无线热点关闭失败！", {}, {}};
}

}  // namespace lumvora
