#include "hotspot/batch_command_runner.h"

#include "hotspot/mobile_hotspot_step.h"
#include "hotspot/verdict.h"

#include <algorithm>
#include <vector>

namespace lumvora {

const wchar_t kTimedOutLine[] = L"命令在60秒内没有结束，结果未知。";
const wchar_t kPreviousStepRunningText[] = L"上一次操作还没有结束，请稍等几秒再试。";

namespace {
using Moved = std::vector<NetworkConnection>;
}  // namespace

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

CommandOutcome BatchCommandRunner::Execute(const std::wstring& appDir, const HotspotOperation& operation) {
  CommandOutcome outcome;
  // A step that outlived its limit might otherwise run beside this command's own.
  if (!StepsSettled(kPreviousStepWait)) {
    outcome.previousStepRunning = true;
    return outcome;
  }
  const std::wstring path = appDir + operation.fileName;
  // Sharing goes before the hosted network does, in the order that Windows documents.
  if (operation.kind == HotspotKind::Close && !command_.SessionEnding()) {
    const std::optional<std::wstring> hosted =
        shared_ ? shared_->hostedGuid : command_.QueryHostedNetwork().hostedAdapterGuid;
    if (hosted) {
      outcome.sharing = RunSharingStep(sharing_, SharingStep::Stop, *hosted, shared_ ? shared_->moved : Moved{}, StepLimit());
      const SharingOutcome::Kind kind = outcome.sharing->kind;
      if (kind != SharingOutcome::Kind::UnshareFailed && kind != SharingOutcome::Kind::TimedOut) shared_.reset();
    }
  }
  {
    // Held from its writing to its deletion: nobody can change what the interpreter reads. When the run
    // fails, dropping it still removes the file, which holds the key.
    const std::unique_ptr<HeldFile> file = command_.WriteHeldTextFile(path, operation.commandLine);
    outcome.command = command_.RunBatchFile(path, timeLimit_);
    file->Delete();
  }
  outcome.network = command_.QueryHostedNetwork();
  outcome.elevated = command_.Elevated();
  // The session ends: nothing more starts, or a logoff during a start could turn the Mobile Hotspot on.
  if (command_.SessionEnding()) return outcome;
  // Where the driver has no hosted network, Windows' Mobile Hotspot does the operation (and shares by
  // itself); otherwise a start that worked shares the internet connection with the hosted network.
  const std::optional<std::wstring>& hosted = outcome.network.hostedAdapterGuid;
  if (MobileHotspotMayStandIn(outcome.network) && mobileHotspot_.Available()) {
    outcome.mobileHotspot = RunMobileHotspot(mobileHotspot_, operation);
  } else if (operation.kind == HotspotKind::Start && hosted && Judge(operation, outcome).succeeded) {
    outcome.sharing = RunSharingStep(sharing_, SharingStep::Share, *hosted, {}, StepLimit());
    // A second start finds the pair shared already and moves nothing: the first one's pair is still the one.
    if (outcome.sharing->kind == SharingOutcome::Kind::Shared && (!shared_ || !outcome.sharing->moved.empty())) {
      shared_ = Shared{*hosted, outcome.sharing->moved};
    }
  }
  return outcome;
}

bool BatchCommandRunner::StepsSettled(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  if (!sharing_.WaitForOutstanding(limit)) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return mobileHotspot_.WaitForOutstanding(std::max(left, std::chrono::milliseconds(0)));
}

ResultBox BatchCommandRunner::Report(const HotspotOperation& operation, const CommandOutcome& outcome) {
  if (outcome.previousStepRunning) return {kPreviousStepRunningText, MessageIcon::Information};
  // Where the Mobile Hotspot stood in, its outcome is the operation's, and netsh's words (about the hosted
  // network it replaced) are left out.
  const std::optional<MobileHotspotResult>& standIn = outcome.mobileHotspot;
  const Verdict verdict = standIn ? JudgeMobileHotspot(operation, *standIn) : Judge(operation, outcome);
  const std::optional<SharingNote> note = outcome.sharing ? NoteFor(*outcome.sharing) : std::nullopt;
  if (verdict.succeeded && verdict.reasons.empty()) {
    std::wstring text = operation.confirmation;
    if (note) text += L"\r\n" + note->text;
    return {text, note && note->warning ? MessageIcon::Warning : MessageIcon::None};
  }
  std::wstring text = verdict.succeeded ? operation.confirmation : operation.failure;
  std::wstring reasons;
  for (const std::wstring& reason : verdict.reasons) reasons += (reasons.empty() ? L"" : L"\r\n") + reason;
  if (!reasons.empty()) text += L"\r\n\r\n" + reasons;
  const CommandResult& result = outcome.command;
  const std::wstring detail =
      standIn ? std::wstring() : result.finished ? FormatCommandOutput(result.output) : kTimedOutLine;
  if (!detail.empty()) text += L"\r\n\r\n" + detail;
  if (note) text += L"\r\n\r\n" + note->text;
  return {text, verdict.succeeded ? MessageIcon::None : MessageIcon::Warning};
}

}  // namespace lumvora
