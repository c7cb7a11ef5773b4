// SPDX-License-Identifier: GPL-3.0-or-later
// gpx outlines, gpx info.
#include <iostream>
#include <memory>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/OutlineCommand.h"
#include "gpx/GarminColors.h"
#include "gpx/GpxReader.h"
#include "gpx/GpxWriter.h"

namespace brelo::cli {

void RegisterGpxCommands(CLI::App& app) {
  auto* gpxCmd = app.add_subcommand("gpx", "GPX files");
  gpxCmd->require_subcommand(1);
  {
    auto* cmd = gpxCmd->add_subcommand("outlines", "Write Maps.gpx with the outline of every JNX file of FOLDER");
    auto folder = std::make_shared<std::string>();
    cmd->add_option("FOLDER", *folder, "folder of JNX files")->required();
    cmd->callback([=] {
      const TCommandResult r = FolderOutlineCommand(*folder);
      // Files that did not load are left out and named; the outline of the rest is written.
      if (r.Ok && !r.Detail.empty()) std::cerr << "brelo-cli: left out: " << r.Detail << '\n';
      Report(r);
    });
  }
  {
    auto* cmd = gpxCmd->add_subcommand("info", "Show the waypoints, track and colour of a GPX file");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "GPX file")->required();
    cmd->callback([=] {
      if (!FileExists(*file) && !FolderExists(*file)) {
        TGpxData none;
        ReadGpx(*file, none);  // says what stands there, if anything
        throw ECommandFailed(*file + ": no such file");
      }
      TGpxData data;
      ReadGpx(*file, data);  // its errors name the file
      std::cout << "Waypoints:    " << data.Waypoints.size() << '\n';
      for (const auto& w : data.Waypoints)
        std::cout << Format("  %11.6f %11.6f  ", JnxToDeg(w.Latitude), JnxToDeg(w.Longitude)) << w.Name << '\n';
      std::cout << "Track points: " << data.Track.size() << '\n';
      if (!data.Track.empty()) {
        const auto& b = data.TrackBounds;
        std::cout << Format("Track bounds: lat %.6f .. %.6f, lon %.6f .. %.6f\n", JnxToDeg(b.MinLat),
                            JnxToDeg(b.MaxLat), JnxToDeg(b.MinLon), JnxToDeg(b.MaxLon));
      }
      std::cout << "Track colour: "
                << (data.CheckedTrackColor >= 0 ? GarminColors[static_cast<std::size_t>(data.CheckedTrackColor)].Name
                                                : "none")
                << '\n';
    });
  }
}

}  // namespace brelo::cli
