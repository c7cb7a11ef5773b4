// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document behind the window: the loaded map and what its file looked like when it was
// loaded, the edits of its header and level texts not yet written, the level shown and its
// selected tiles, the GPX overlay, and the folder's list of maps with each map's device check.
// Every change goes through it; the pages show it and follow its signals, and what the next
// write writes is always what they show.
#include <QObject>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/DeviceCheck.h"
#include "commands/CommandResult.h"
#include "commands/OutlineCommand.h"
#include "gpx/GpxData.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxMap.h"
#include "jnx/MapEdits.h"
#include "view/ViewGeometry.h"

class QFileSystemWatcher;
class QTimer;

namespace brelo {

class TBackgroundChecks;

// One map of the folder's list.
struct TListedMap {
  std::string Path;
  TJnxMap Header;   // header, level table and description block
  TMapCheck Check;  // its own findings: the header's, or the tiles' once they were read
  bool TilesChecked = false;
  std::string Identity;          // of the file its tiles were checked in
  std::optional<TFinding> Copy;  // another listed map has its GUID
  // The check as the Check column shows it: the map's own warnings, the copy, then its notes.
  TMapCheck Shown() const;
};

class TMapSession : public QObject {
  Q_OBJECT

 public:
  explicit TMapSession(QObject* parent = nullptr);
  ~TMapSession() override;

  // The loaded map (a detailed load); its CurrentFile is empty when none is loaded.
  const TJnxMap& Map() const { return map_; }
  bool HasMap() const { return !map_.CurrentFile.empty(); }
  const std::string& File() const { return map_.CurrentFile; }
  // The model for the renderer, whose tiles cache their decoded pictures; nothing else of it
  // may change there.
  TJnxMap& DrawnMap() { return map_; }
  void FreeTileCache();
  // Without a map: the empty model takes the default frame around the view's centre, which
  // the map page shows (the frame of "No map").
  void FrameWithoutMap(TViewState& view);
  // A copy of the loaded map for a command on another thread (the cached pictures shared).
  TJnxMap Snapshot() const { return map_; }

  // Loads the file in full as the loaded map: its edits dropped, its last level (before a
  // "dummy" one) shown. A file that does not load leaves everything as it was; the error text
  // is returned.
  std::optional<std::string> Load(const std::string& path);
  // Lists the folder of the loaded map anew (the loaded map and its edits stay) and writes its
  // Maps.gpx. Returns the lines to tell: the files that did not load, and a Maps.gpx that was
  // not written (once for a folder).
  std::vector<std::string> ScanFolder();
  const std::string& Folder() const { return folder_; }
  const std::vector<TListedMap>& Listed() const { return listed_; }
  int LoadedIndex() const;  // into Listed(); -1 when the loaded map is not listed

  // The editable cells as the tables show them: the loaded map's values with the user's edits.
  const TMapEditCells& Edits() const { return edits_; }
  void Edit(const TMapEditCells& cells);
  bool HasUnwrittenEdits() const { return !(edits_ == clean_); }
  void DropEdits();

  // The level shown (0-based, -1 for a map without levels); a change empties the selection.
  int Level() const { return level_; }
  void SetLevel(int level);

  // Tile indices of the shown level, in the order chosen; -1 marks a slot freed again.
  const std::vector<int>& SelectedTiles() const { return selected_; }
  std::vector<int> ChosenTiles() const;
  void ToggleTile(int tile);
  void ClearSelection();

  // Waypoints and track over the map.
  const TGpxData& Gpx() const { return gpx_; }
  // Reads a GPX file into the overlay; a conversion error keeps what was read before it and
  // is returned.
  std::optional<std::string> LoadGpx(const std::string& path);
  void SetTrack(std::vector<TWpt> track);
  // The canvas draws the new segment itself: no OverlayChanged.
  void AddTrackPoint(const TWpt& point);
  void RemoveLastTrackPoint();
  void SetTrackColour(int colour);

  // The in-place commands. The model changes only when the file did.
  TCommandResult UpdateNow();
  TCommandResult AddPlaceholderLevel(const std::string& scaleName);
  // After a command wrote files (the loaded map's own, or new ones in the folder): the loaded
  // map is loaded again when its file changed, and the list follows the folder.
  void Wrote(const std::string& path);

  // While a long command runs, changes on disk are looked at only after it (Hold(false)).
  void Hold(bool on);
  // Looks at the loaded file and the folder now: another program's change to the loaded file
  // is followed (or, with edits not written, ChangedOnDisk asks), the list follows the folder.
  void LookAtDisk();

 signals:
  // A map was loaded (another, or the same one again); the level is its shown level.
  void MapLoaded();
  void LevelChanged(int level);
  // The edits changed (an edit, a write that took them, dropped).
  void Edited();
  // The loaded map's file was written in place; the model is the file's.
  void Written();
  // The loaded map's file was changed by another program while edits are not written.
  void ChangedOnDisk();
  // The list was made anew, or one row of it changed.
  void FolderListed();
  void ListedMapChanged(int index);
  void SelectionChanged();
  void OverlayChanged();
  // A line for the information line.
  void Notice(const QString& text);

 private:
  void Adopt(TJnxMap map);  // a model that is the file's: edits clean, list row refreshed
  void RefreshListedLoaded();
  void CheckTilesInBackground();
  void FindCopies();
  void FindCopiesOf(const std::vector<std::string>& guids);
  void WatchFiles();
  std::string Signature() const;

  TJnxMap map_;
  TMapEditCells edits_, clean_;
  int level_ = -1;
  std::vector<int> selected_;
  TGpxData gpx_;
  std::string folder_;
  std::vector<TListedMap> listed_;
  std::string signature_;         // of the folder as last listed
  TOutlineNotice outlineNotice_;  // Maps.gpx not written: said once for a folder
  QFileSystemWatcher* watcher_;
  QTimer* settle_;
  bool held_ = false;
  bool looked_ = true;  // no look at the disk is owed
  bool looking_ = false;
  std::string declined_;  // the loaded file's state last offered to be loaded again
  std::unique_ptr<TBackgroundChecks> checks_;
};

}  // namespace brelo
