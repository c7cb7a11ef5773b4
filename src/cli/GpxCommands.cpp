// gpx outlines, gpx info.
#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "gpx/GarminColors.h"
#include "gpx/GpxReader.h"
#include "gpx/GpxWriter.h"
#include "jnx/Coordinates.h"
#include "jnx/Errors.h"
#include "jnx/FolderScan.h"
#include "jnx/Paths.h"
#include "jnx/Text.h"

namespace brelo::cli {

void RegisterGpxCommands(CLI::App& app) {
  auto* gpxCmd = app.add_subcommand("gpx", "GPX files");
  gpxCmd->require_subcommand(1);
  {
    auto* cmd = gpxCmd->add_subcommand("outlines", "Write Maps.gpx with the outline of every JNX file of FOLDER");
    auto folder = std::make_shared<std::string>();
    cmd->add_option("FOLDER", *folder, "folder of JNX files")->required();
    cmd->callback([=] {
      std::vector<TMapOutlineRow> rows;
      for (const auto& m : ScanJnxFolder(*folder)) rows.push_back(OutlineRow(m.Path, m.Header));
      const std::string dir = FolderPath(*folder);
      WriteMapsGpx(dir + kMapsGpxName, rows);
      std::cout << dir << kMapsGpxName << " saved (" << rows.size() << " maps).\n";
    });
  }
  {
    auto* cmd = gpxCmd->add_subcommand("info", "Show the waypoints, track and colour of a GPX file");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "GPX file")->required();
    cmd->callback([=] {
      if (!FileExists(*file)) throw ECommandFailed(*file + ": no such file");
      TGpxData data;
      try {
        ReadGpx(*file, data);
      } catch (const EBreloError& e) {
        throw ECommandFailed(*file + ": " + e.what());
      }
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
