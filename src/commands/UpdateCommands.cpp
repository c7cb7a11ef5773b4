// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/UpdateCommands.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "commands/ApplyCells.h"
#include "jnx/ScaleTable.h"
#include "resources/Resources.h"

namespace brelo {

namespace {

const char kNotUpdated[] = "\n\nNOT updated. ReadOnly? Try SaveMap.";
const char kNotUpdatedDummy[] = "\n\nNOT updated. ReadOnly? Save map first and try again.";
const char kWriteDamaged[] = "\n\n Write error. Plik mógł zostać uszkodzony.";

// Runs an in-place change; refusals and failed writes become the messages of the commands.
template <class Change>
TCommandResult InPlace(const TJnxMap& map, const char* notUpdated, const std::string& done, Change change) {
  try {
    change();
  } catch (const EDamaged& e) {
    return Failed(map.CurrentFile + kWriteDamaged, e.what(), true);
  } catch (const EChangedOnDisk& e) {
    return ChangedOnDiskFailure(e.what());
  } catch (const EBreloError& e) {
    return Failed(map.CurrentFile + notUpdated, e.what());
  }
  return Done(map.CurrentFile + done, map.CurrentFile);
}

}  // namespace

TCommandResult UpdateNowCommand(TJnxMap& map, TMapEditCells* cells) {
  if (auto failed = ApplyCells(map, cells)) return *failed;
  return InPlace(map, kNotUpdated, " successfully updated.", [&] { UpdateInPlace(map, TUpdateSender::UpdateMapNow); });
}

TCommandResult DeleteTilesCommand(TJnxMap& map, int level, const std::vector<int>& selected) {
  return InPlace(map, kNotUpdated, " updated.", [&] { DeleteTilesInPlace(map, level, selected); });
}

std::vector<std::string> PlaceholderScales(const TJnxMap& map) {
  std::vector<std::string> names;
  if (!CanAddDummyLevel(map)) return names;
  for (int i = 0; i < DummyLevelScaleCount(map); ++i) names.emplace_back(ScaleTable[static_cast<std::size_t>(i)].Name);
  return names;
}

TCommandResult AddPlaceholderLevelCommand(TJnxMap& map, const std::string& scaleName) {
  if (!CanAddDummyLevel(map))
    return Failed(map.CurrentFile +
                  ": a placeholder level is offered only for maps of 1 to 4 levels whose last "
                  "level is not \"dummy\"");
  const std::int64_t value = ScaleValue(scaleName);
  if (value < 0) return Failed(map.CurrentFile + ": unknown eTrex scale name \"" + scaleName + "\"");
  if (!IsOfferedDummyScale(map, static_cast<std::uint32_t>(value))) {
    const auto offered = PlaceholderScales(map);
    return Failed(map.CurrentFile + ": a placeholder level of scale " + scaleName +
                  " is not offered; the scales on "
                  "offer run from " +
                  offered.front() + " to " + offered.back());
  }
  return InPlace(map, kNotUpdatedDummy, " updated. Dummy level added.",
                 [&] { AppendDummyLevel(map, static_cast<std::uint32_t>(value), DummyJpgBytes()); });
}

}  // namespace brelo
