// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/RasterCreateCommand.h"

#include <chrono>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "uMapCreation/Calibration.h"

namespace brelo {

bool IsRasterSource(const std::vector<std::string>& sources) {
  if (sources.size() != 1) return true;
  const std::string ext = LowerAscii(ExtensionOf(sources.front()));
  if (ext == ".tar") return false;
  if (ext != ".map") return true;
  // A tile set beside the map cannot be warped: it stays on its own path, which refuses it.
  if (FileExists(ChangeExtension(sources.front(), ".set"))) return false;
  try {
    const auto bytes = ReadFileBytes(sources.front());
    return !LatLonCalibrationProblem(SplitLines(std::string(bytes.begin(), bytes.end()))).empty();
  } catch (const EBreloError&) {
    return false;  // the old path says what is wrong with it
  }
}

TCommandResult CreateRasterMapCommand(const TRasterBuildOptions& options, const ProgressSink& info,
                                      const TWorkMeter* meter) {
  const std::string source = options.Sources.empty() ? std::string() : options.Sources.front();
  const auto start = std::chrono::steady_clock::now();
  TRasterBuildResult built;
  try {
    built = BuildRasterMap(options, info, meter);
  } catch (const ECancelled&) {
    TCommandResult r = Failed(RasterMapName(options) + ": map creation cancelled; nothing was written");
    r.Cancelled = true;
    return r;
  } catch (const ERefused& e) {
    return Failed(e.what());
  } catch (const EBreloError& e) {
    return Failed("Błąd tworzenia mapy z\n\n" + source, e.what());
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::string text;
  if (built.Files.size() == 1) {
    text = Format("%s saved in %dms.", FileNameOf(built.Files.front()).c_str(), static_cast<int>(ms.count()));
  } else {
    std::string names;
    for (const auto& f : built.Files) names += (names.empty() ? "" : ", ") + FileNameOf(f);
    text = Format("%zu volumes saved in %dms: %s", built.Files.size(), static_cast<int>(ms.count()), names.c_str());
  }
  TCommandResult result = Done(text, built.Files.front());
  AddChecks(result, built.Files);
  return result;
}

}  // namespace brelo
