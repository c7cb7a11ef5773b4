#pragma once
// Building a one-level JNX file from a calibrated tile set (a ".map", a ".set" and set/).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jnx/Stream.h"

namespace brelo {

struct TCreationParams {
  std::string Source;  // the ".map" or ".tar" path
  std::int32_t ProductId = 0;
  std::string ProductName;
  std::int32_t ZOrder = 30;
  std::string ScaleName;
  std::string DetailLevel, LevelName, LevelDescription, LevelCopyright;
};

struct TCreationSinks {
  std::function<void(const std::string&)> Info;       // the dialog's information line
  std::function<void(const std::string&)> ShowError;  // the error display
};

// Where a run works: for an archive the folder it unpacks into; for a ".map" its own folder
// when a ".set" lies beside it, else the folder S without extension.
std::string WorkingFolder(const std::string& source);
// The folder an archive x.tar unpacks into: "x/".
std::string UnpackFolder(const std::string& archive);

// Pixel to encoded coordinates from calibration points 1 and 3, point 1 taken as the image's
// top-left pixel.
struct TPixelCalibration {
  int X1 = 0, Y1 = 0, X3 = 1, Y3 = 1;
  std::int32_t Lon1 = 0, Lat1 = 1, Lon3 = 1, Lat3 = 0;  // [encoded]
  int ImageWidth = 0, ImageHeight = 0;
  // Reads the MMPXY, MMPLL and IWH lines; raises EFormatError on a number that does not convert
  // and on points 1 and 3 that share a pixel column or row, a longitude or a latitude.
  static TPixelCalibration FromMapLines(const std::vector<std::string>& lines);
  void PixelToJnx(std::int64_t x, std::int64_t y, std::int32_t& lat, std::int32_t& lon) const;
};

// Regions 1 to 4 of a new one-level version-4 file; returns the position of the level's
// TilesOffset field.
std::uint64_t WriteCreatedHeader(TStream& out, std::int32_t productId, const std::string& productName,
                                 std::int32_t zOrder, std::int32_t north, std::int32_t east, std::int32_t south,
                                 std::int32_t west, std::int32_t tileCount, const std::string& scaleName,
                                 const std::string& detailLevel, const std::string& levelName,
                                 const std::string& levelDescription, const std::string& levelCopyright);

// A white tile with a black frame and both diagonals, as JPEG.
void PlaceholderTile(TMemoryStream& out, int width, int height);

// Writes S with ".jnx". Returns false after reporting "Błąd tworzenia mapy z\n\n" + S through
// ShowError. The file is written through a temporary file, so a failed run leaves an
// earlier file of that name as it was. folderCreated says that unpacking the archive S made
// its folder, which is then deleted; no other folder ever is.
bool BuildJnxFromMap(const TCreationParams& params, bool folderCreated, const TCreationSinks& sinks,
                     std::string* error = nullptr);

}  // namespace brelo
