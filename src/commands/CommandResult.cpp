// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/CommandResult.h"

#include "base/Errors.h"
#include "base/Paths.h"
#include "check/DeviceCheck.h"
#include "jnx/JnxReader.h"

namespace brelo {

TCommandResult Done(std::string text, std::string path) {
  TCommandResult r;
  r.Ok = true;
  r.Text = std::move(text);
  r.Path = std::move(path);
  return r;
}

TCommandResult Failed(std::string text, std::string detail, bool mayBeDamaged) {
  TCommandResult r;
  r.Text = std::move(text);
  r.Detail = std::move(detail);
  r.MayBeDamaged = mayBeDamaged;
  return r;
}

void AddCheck(TCommandResult& result, const std::string& map) {
  const TMapCheck check = CheckMapFile(map, TCheckDepth::Tiles);
  result.Check = check.Summary();
  result.CheckFindings.clear();
  for (const auto& f : check.Findings)
    result.CheckFindings.push_back(std::string(SeverityName(f.Severity)) + ": " + f.Message);
}

void AddChecks(TCommandResult& result, const std::vector<std::string>& maps) {
  if (maps.size() == 1) return AddCheck(result, maps.front());
  int errors = 0, warnings = 0, notes = 0;
  result.CheckFindings.clear();
  for (const auto& map : maps) {
    const TMapCheck check = CheckMapFile(map, TCheckDepth::Tiles);
    errors += check.Count(TSeverity::Error), warnings += check.Count(TSeverity::Warning);
    notes += check.Count(TSeverity::Note);
    for (const auto& f : check.Findings)
      result.CheckFindings.push_back(std::string(SeverityName(f.Severity)) + ": " + FileNameOf(map) + ": " + f.Message);
  }
  TMapCheck total;
  for (int i = 0; i < errors; ++i) total.Findings.push_back({TSeverity::Error, "", "", 0, 0});
  for (int i = 0; i < warnings; ++i) total.Findings.push_back({TSeverity::Warning, "", "", 0, 0});
  for (int i = 0; i < notes; ++i) total.Findings.push_back({TSeverity::Note, "", "", 0, 0});
  result.Check = total.Summary();
}

TCommandResult ChangedOnDiskFailure(const std::string& message) {
  TCommandResult r = Failed(message);
  r.ChangedOnDisk = true;
  return r;
}

std::optional<TCommandResult> ChangedOnDiskFailure(const TJnxMap& map) {
  try {
    VerifyUnchanged(map);
  } catch (const EChangedOnDisk& e) {
    return ChangedOnDiskFailure(e.what());
  }
  return std::nullopt;
}

}  // namespace brelo
