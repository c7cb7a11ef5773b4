// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/gdal/GdalSupport.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_minixml.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <sys/stat.h>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"

namespace brelo::gdal {

void Initialise() {
  static std::once_flag once;
  std::call_once(once, [] {
    CPLSetErrorHandler(CPLQuietErrorHandler);
    GDALAllRegister();
    // Memory follows the bands being worked on, not the raster's size.
    GDALSetCacheMax64(std::int64_t(32) << 20);
    // Never reach out to the network; side files (world files, .aux.xml, .prj) are probed one
    // by one instead of listing the folder, once RequireRegularFiles has seen them.
    CPLSetConfigOption("GDAL_DISABLE_READDIR_ON_OPEN", "YES");
    CPLSetConfigOption("CPL_VSIL_CURL_ALLOWED_EXTENSIONS", "none");
    CPLSetConfigOption("GDAL_PAM_ENABLED", "YES");
  });
}

TArgs& TArgs::Add(const std::string& arg) {
  strings_.push_back(arg);
  return *this;
}

TArgs& TArgs::Add(std::initializer_list<std::string> args) {
  for (const auto& a : args) strings_.push_back(a);
  return *this;
}

char** TArgs::Get() {
  pointers_.clear();
  for (auto& s : strings_) pointers_.push_back(s.data());
  pointers_.push_back(nullptr);
  return pointers_.data();
}

std::string LastError(const std::string& fallback) {
  const char* message = CPLGetLastErrorMsg();
  std::string text = message && *message ? message : fallback;
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

namespace {

void RequireRegular(const std::string& path, const std::string& named) {
  struct stat st {};
  const std::string what = named == path ? path : named + ": " + path;
  if (::stat(path.c_str(), &st) != 0) throw EFormatError(what + " does not exist");
  if (!S_ISREG(st.st_mode))
    throw EFormatError(what +
                       (S_ISDIR(st.st_mode) ? " is a folder" : " is not a regular file (a FIFO, socket or device)"));
}

// The SourceFilename entries of a VRT's XML, made absolute where relativeToVRT is set.
void CollectSources(const CPLXMLNode* node, const std::string& folder, std::vector<std::string>& out) {
  for (; node; node = node->psNext) {
    if (node->eType == CXT_Element && std::strcmp(node->pszValue, "SourceFilename") == 0) {
      const char* relative = CPLGetXMLValue(node, "relativeToVRT", "0");
      const char* name = CPLGetXMLValue(node, nullptr, "");
      std::string path = name;
      if (std::strcmp(relative, "1") == 0 && !path.empty() && path[0] != '/') path = folder + path;
      out.push_back(path);
    }
    if (node->eType == CXT_Element) CollectSources(node->psChild, folder, out);
  }
}

// Files beside path that GDAL may open with it (stem.*), and a .map's picture: none may be a
// FIFO or device, which would block the open for good.
void RequireRegularSiblings(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string stem = FileNameOf(WithoutExtension(path)) + ".";
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(stem, 0) != 0) continue;
    std::error_code sec;
    const auto type = it->status(sec).type();
    if (!sec && type != std::filesystem::file_type::regular && type != std::filesystem::file_type::directory &&
        type != std::filesystem::file_type::not_found)
      throw EFormatError(path + ": " + name + " beside it is not a regular file (a FIFO, socket or device)");
  }
  if (LowerAscii(ExtensionOf(path)) == ".map") {
    std::ifstream in(path);
    std::string line;
    for (int i = 0; i < 3 && std::getline(in, line); ++i) {
    }
    line = TrimBlanks(line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string picture = FolderOf(path) + FileNameOf(line);
    struct stat st {};
    if (!line.empty() && ::stat(picture.c_str(), &st) == 0) RequireRegular(picture, path);
  }
}

}  // namespace

void RequireRegularFiles(const std::string& path) {
  RequireRegular(path, path);
  RequireRegularSiblings(path);
  if (LowerAscii(ExtensionOf(path)) != ".vrt") return;
  CPLXMLNode* tree = CPLParseXMLFile(path.c_str());
  if (!tree) throw EFormatError(path + ": " + LastError("not a readable VRT file"));
  std::vector<std::string> sources;
  CollectSources(tree, FolderOf(path), sources);
  CPLDestroyXMLNode(tree);
  for (const auto& s : sources) {
    // GDAL's virtual file systems (/vsicurl/, /vsizip/...) are not followed.
    if (s.rfind("/vsi", 0) == 0) throw EFormatError(path + ": it points at " + s + ", which is not a local file");
    RequireRegular(s, path);
    RequireRegularSiblings(s);
  }
}

std::string CrsName(const std::string& wkt) {
  if (wkt.empty()) return {};
  OGRSpatialReferenceH srs = OSRNewSpatialReference(wkt.c_str());
  if (!srs) return "an unreadable coordinate system";
  const char* name = OSRGetName(srs);
  std::string result = name ? name : "an unnamed coordinate system";
  OSRDestroySpatialReference(srs);
  return result;
}

}  // namespace brelo::gdal
