#include "hotspot/batch_command_runner.h"

#include "hotspot/mobile_hotspot_step.h"
#include "hotspot/verdict.h"

#include <vector>

namespace lumvora {

const wchar_t kTimedOutLine[] = L"命令在60秒内没有结束，结果未知。";

std::wstring FormatCommandOutput(const std::wstring& output) {
  std::vector<std::wstring> lines;
  std::wstring line;
  for (size_t i = 0; i < output.size(); ++i) {
    const wchar_t c = output[i];
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < output.size() && output[i + 1] == L'\n') ++i;
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(std::move(line));
  auto blank = [](const std::wstring& l) { return l.find_first_not_of(L" \t") == std::wstring::npos; };
  while (!lines.empty() && blank(lines.back())) lines.pop_back();
  if (lines.size() > kMaxOutputLines) lines.resize(kMaxOutputLines);
  for (std::wstring& l : lines) {
    if (l.size() > kMaxOutputLineLength) l = l.substr(0, kMaxOutputLineLength - 1) + L"…";
  }
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += L"\r\n";
    text += lines[i];
  }
  return text;
}

namespace {

// Enables the window again however the run ends.
class BusyScope {
 public:
  explicit BusyScope(MainView& view) : view_(view) { view_.SetBusy(true); }
  ~BusyScope() { view_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  MainView& view_;
};

}  // namespace

CommandOutcome BatchCommandRunner::Execute(const std::wstring& appDir, const HotspotOperation& operation) {
  const std::wstring path = appDir + operation.fileName;
  BusyScope busy(view_);
  CommandOutcome outcome;
  {
    // Held from its writing to its deletion: nobody can change what the interpreter reads. When the run
    // fails, dropping it still removes the file, which holds the key.
    const std::unique_ptr<HeldFile> file = platform_.WriteHeldTextFile(path, operation.commandLine);
    outcome.command = platform_.RunBatchFile(path, timeLimit_);
    file->Delete();
  }
  outcome.network = platform_.QueryHostedNetwork();
  outcome.elevated = platform_.Elevated();
  if (mobileHotspot_ != nullptr && MobileHotspotMayStandIn(outcome.network) && mobileHotspot_->Available()) {
    outcome.mobileHotspot = RunMobileHotspot(*mobileHotspot_, operation);
  }
  return outcome;
}

void BatchCommandRunner::Report(const HotspotOperation& operation, const CommandOutcome& outcome) {
  // Where the Mobile Hotspot stood in, its outcome is the operation's, and netsh's words (about the hosted
  // network it replaced) are left out.
  const std::optional<MobileHotspotResult>& standIn = outcome.mobileHotspot;
  const Verdict verdict = standIn ? JudgeMobileHotspot(operation, *standIn) : Judge(operation, outcome);
  if (verdict.succeeded && verdict.reasons.empty()) {
    platform_.ShowMessage(operation.confirmation, MessageIcon::None, L"Lumvora");
    return;
  }
  std::wstring text = verdict.succeeded ? operation.confirmation : operation.failure;
  std::wstring reasons;
  for (const std::wstring& reason : verdict.reasons) reasons += (reasons.empty() ? L"" : L"\r\n") + reason;
  if (!reasons.empty()) text += L"\r\n\r\n" + reasons;
  const CommandResult& result = outcome.command;
  const std::wstring detail =
      standIn ? std::wstring() : result.finished ? FormatCommandOutput(result.output) : kTimedOutLine;
  if (!detail.empty()) text += L"\r\n\r\n" + detail;
  platform_.ShowMessage(text, verdict.succeeded ? MessageIcon::None : MessageIcon::Warning, L"Lumvora");
}

}  // namespace lumvora
