// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/CreateCommand.h"

#include <chrono>
#include <optional>

#include "LibTar/UnpackTar.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "uMapCreation/ImageCutter.h"
#include "uMapCreation/MapBuilder.h"

namespace brelo {

const char* CreationFieldCaption(TCreationField field) {
  switch (field) {
    case TCreationField::FileName: return "File Name";
    case TCreationField::ProductName: return "Product Name";
    case TCreationField::ProductId: return "ID";
    case TCreationField::ZOrder: return "ZOrder";
    case TCreationField::Scale: return "eTrex Scale";
    case TCreationField::TileWidth: return "Tile Width";
    case TCreationField::TileHeight: return "Tile Height";
    case TCreationField::TileCount: return "Tile Count";
    case TCreationField::None: break;
  }
  return "";
}

const char* CreationFieldControl(TCreationField field) {
  switch (field) {
    case TCreationField::FileName: return "leFileName";
    case TCreationField::ProductName: return "leProductName";
    case TCreationField::ProductId: return "leProductID";
    case TCreationField::ZOrder: return "leZOrder";
    case TCreationField::Scale: return "cbeTrexScale";
    case TCreationField::TileWidth: return "leTileW";
    case TCreationField::TileHeight: return "leTileH";
    case TCreationField::TileCount: return "leTileCount";
    case TCreationField::None: break;
  }
  return "";
}

std::string CreatedMapName(const std::string& source) { return ChangeExtension(source, ".jnx"); }

TCreateResult CreateMapCommand(const TCreationFields& fields, const TCreationParams& params, int tileWidth,
                               int tileHeight, const ProgressSink& info, const TWorkMeter* meter) {
  TCreateResult result;
  result.Invalid = FirstInvalidField(fields);
  if (result.Invalid != TCreationField::None) {
    result.Text = params.Source + ": invalid " + CreationFieldCaption(result.Invalid) + " (" +
                  CreationFieldControl(result.Invalid) + ")";
    return result;
  }
  const std::string& S = params.Source;
  const std::string jnx = CreatedMapName(S);
  if (!params.Overwrite && (FileExists(jnx) || FolderExists(jnx))) {
    result.Text = jnx + ": a file of that name exists; it was not replaced";
    return result;
  }
  const std::string failure = "Błąd tworzenia mapy z\n\n" + S;
  const auto start = std::chrono::steady_clock::now();
  try {
    const std::string ext = LowerAscii(ExtensionOf(S));
    if (ext == ".map" && !FileExists(ChangeExtension(S, ".set"))) {
      BuildJnxFromPicture(params, tileWidth, tileHeight, info, meter);
    } else if (ext == ".tar") {
      // Never into the folder named after the archive: it may be the user's own tile set.
      std::optional<TPrivateUnpack> unpacked;
      try {
        unpacked.emplace(S, jnx, info);
      } catch (const EBreloError& e) {
        result.Earlier.push_back(e.what());
        throw;
      }
      BuildJnxFromMap(params, unpacked->Folder(), info, meter);
    } else {
      BuildJnxFromMap(params, WorkingFolder(S), info, meter);
    }
  } catch (const ECancelled&) {
    result.Text = "Build cancelled; " + FileNameOf(jnx) + " was not written.";
    result.Cancelled = true;
    return result;
  } catch (const EPictureNotFound& e) {
    result.Earlier.push_back(e.what());
    result.Text = failure;
    return result;
  } catch (const EBreloError& e) {
    result.Text = failure;
    if (result.Earlier.empty()) result.Detail = e.what();
    return result;
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  static_cast<TCommandResult&>(result) =
      Done(Format("%s saved in %dms.", FileNameOf(jnx).c_str(), static_cast<int>(ms.count())), jnx);
  AddCheck(result, jnx);
  return result;
}

}  // namespace brelo
