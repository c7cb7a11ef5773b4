// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading waypoints, the track and the track colour out of a GPX file with an XML parser
// (expat). A read replaces the waypoints only when the file has one, and the track likewise;
// a file without track points gives its route points as the track.
#include <string>

#include "gpx/GpxData.h"

namespace brelo {

// Nothing happens when no file of that name exists. A coordinate that is not a number, or
// text that is not well-formed XML, raises EFormatError naming the file's line; what was read
// before it stays in data. A file whose text is not UTF-8 and does not name its encoding is
// read as ISO-8859-1; other single-byte encodings it names are read through iconv.
void ReadGpx(const std::string& path, TGpxData& data);
// The same over the file's text; name is used in messages.
void ReadGpxText(const std::string& text, TGpxData& data, const std::string& name = "GPX text");

}  // namespace brelo
