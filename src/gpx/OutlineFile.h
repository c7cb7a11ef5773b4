// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telling brelo's own outline file "Maps.gpx" from a file of the user's of that name: only the
// former may be replaced without asking.
#include <string>

namespace brelo {

// Whether text is an outline file that brelo wrote, this version or an earlier one: the XML
// declaration, a root whose creator is brelo, the outline metadata (earlier versions wrote
// none), then nothing but closed five-point outlines, each in the display colour of its place,
// and the end tag. A track the user saved under that name, outlines edited by hand and another
// program's file are not.
bool IsBreloOutlineText(const std::string& text);

}  // namespace brelo
