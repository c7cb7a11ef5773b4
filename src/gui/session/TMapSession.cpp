// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/session/TMapSession.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <thread>

#include <sys/stat.h>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "commands/OutlineCommand.h"
#include "commands/UpdateCommands.h"
#include "gpx/GpxReader.h"
#include "jnx/JnxReader.h"

namespace brelo {

namespace {

// What the folder scan would have listed for a map loaded in full.
TJnxMap HeaderOf(const TJnxMap& m) {
  TJnxMap h;
  h.CurrentFile = m.CurrentFile;
  h.FileSize = m.FileSize;
  h.Version = m.Version, h.DeviceId = m.DeviceId;
  h.North = m.North, h.East = m.East, h.South = m.South, h.West = m.West;
  h.LevelCount = m.LevelCount, h.Expiration = m.Expiration, h.ProductId = m.ProductId, h.Crc32 = m.Crc32;
  h.SignatureVersion = m.SignatureVersion, h.SignatureOffset = m.SignatureOffset, h.ZOrder = m.ZOrder;
  h.BlockVersion = m.BlockVersion, h.Guid = m.Guid, h.ProductName = m.ProductName;
  h.UnknownString = m.UnknownString, h.ProductId2 = m.ProductId2, h.DetailLevel = m.DetailLevel;
  h.LevelCount2 = m.LevelCount2;
  h.Levels.reserve(m.Levels.size());
  for (const TJnxLevel& l : m.Levels) {
    TJnxLevel c;
    c.TileCount = l.TileCount, c.TilesOffset = l.TilesOffset, c.Scale = l.Scale, c.LevelUnknown = l.LevelUnknown;
    c.LevelCopyright = l.LevelCopyright, c.Name = l.Name, c.Description = l.Description, c.Copyright = l.Copyright;
    c.Zoom = l.Zoom;
    h.Levels.push_back(std::move(c));
  }
  return h;
}

TMapCheck OwnCheck(const TJnxMap& map) {
  TMapCheck check;
  check.Path = map.CurrentFile;
  check.Guid = map.Guid;
  check.Findings = CheckModel(map, map.FileSize);
  return check;
}

// Size, time and inode of a file: equal texts mean the file was not changed between them.
std::string IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return Format("%lld/%lld.%09ld/%llu/%llu", static_cast<long long>(st.st_size),
                static_cast<long long>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
                static_cast<unsigned long long>(st.st_ino), static_cast<unsigned long long>(st.st_dev));
}

// Edits the user made since `before` (the cells as the model was) kept over the cells of a
// model that changed under them (`after`): a field the user left takes the model's new value.
TMapEditCells KeepEdits(const TMapEditCells& edits, const TMapEditCells& before, const TMapEditCells& after) {
  TMapEditCells out = after;
  auto keep = [](std::string& into, const std::string& edit, const std::string& was) {
    if (edit != was) into = edit;
  };
  keep(out.Version, edits.Version, before.Version);
  keep(out.ProductId, edits.ProductId, before.ProductId);
  keep(out.ProductName, edits.ProductName, before.ProductName);
  keep(out.ZOrder, edits.ZOrder, before.ZOrder);
  keep(out.DetailLevel, edits.DetailLevel, before.DetailLevel);
  for (std::size_t i = 0; i < out.Levels.size() && i < edits.Levels.size() && i < before.Levels.size(); ++i) {
    keep(out.Levels[i].Scale, edits.Levels[i].Scale, before.Levels[i].Scale);
    keep(out.Levels[i].Copyright, edits.Levels[i].Copyright, before.Levels[i].Copyright);
    keep(out.Levels[i].Name, edits.Levels[i].Name, before.Levels[i].Name);
    keep(out.Levels[i].Description, edits.Levels[i].Description, before.Levels[i].Description);
  }
  return out;
}

}  // namespace

TMapCheck TListedMap::Shown() const {
  TMapCheck check = Check;
  if (Copy) {
    const auto notes = std::find_if(check.Findings.begin(), check.Findings.end(),
                                    [](const TFinding& f) { return f.Severity == TSeverity::Note; });
    check.Findings.insert(notes, *Copy);
  }
  return check;
}

// The checks of maps' tiles, each on a thread of its own; a result reaches the session through
// its event loop, and only while no newer check of that file was started.
class TBackgroundChecks {
 public:
  ~TBackgroundChecks() {
    for (auto& t : threads_) t.Thread.join();
  }
  void Start(std::function<void()> work) {
    std::erase_if(threads_, [](TThread& t) {
      if (!t.Done->load()) return false;
      t.Thread.join();
      return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    threads_.push_back({std::thread([work = std::move(work), done] {
                          work();
                          *done = true;
                        }),
                        done});
  }
  int Next(const std::string& path) { return ++generation_[path]; }
  bool Current(const std::string& path, int generation) const {
    const auto it = generation_.find(path);
    return it != generation_.end() && it->second == generation;
  }

 private:
  struct TThread {
    std::thread Thread;
    std::shared_ptr<std::atomic<bool>> Done;
  };
  std::vector<TThread> threads_;
  std::map<std::string, int> generation_;
};

TMapSession::TMapSession(QObject* parent)
    : QObject(parent),
      watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)),
      checks_(std::make_unique<TBackgroundChecks>()) {
  // A burst of changes (a copy, a save through a temporary file) is taken as one.
  settle_->setSingleShot(true);
  settle_->setInterval(300);
  connect(settle_, &QTimer::timeout, this, [this] { LookAtDisk(); });
  connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
  connect(watcher_, &QFileSystemWatcher::fileChanged, settle_, qOverload<>(&QTimer::start));
}

TMapSession::~TMapSession() { checks_.reset(); }

void TMapSession::FreeTileCache() { brelo::FreeTileCache(map_); }

void TMapSession::FrameWithoutMap(TViewState& view) {
  if (!HasMap()) SetDefaultFrame(view, map_);
}

// Loading ------------------------------------------------------------------------------------

std::optional<std::string> TMapSession::Load(const std::string& path) {
  // Loaded aside: a file that does not load leaves the loaded map as it was.
  TJnxMap loaded;
  loaded.CurrentFile = path;
  try {
    ReadJnx(loaded, path, true);
  } catch (const EBreloError& e) {
    return std::string(e.what());
  }
  map_ = std::move(loaded);
  edits_ = clean_ = EditCellsFromMap(map_);
  level_ = ShownLevel(map_);
  selected_.clear();
  declined_ = {};
  RefreshListedLoaded();
  WatchFiles();
  emit MapLoaded();
  emit Edited();
  emit SelectionChanged();
  return std::nullopt;
}

void TMapSession::Adopt(TJnxMap map) {
  const TMapEditCells pending = edits_, before = clean_;
  const bool keep = HasUnwrittenEdits();
  const int level = level_;
  map_ = std::move(map);
  clean_ = EditCellsFromMap(map_);
  edits_ = keep ? KeepEdits(pending, before, clean_) : clean_;
  const int count = static_cast<int>(map_.Levels.size());
  level_ = level >= 0 && level < count ? level : ShownLevel(map_);
  selected_.clear();
  RefreshListedLoaded();
  signature_ = Signature();
  WatchFiles();
  emit Written();
  emit MapLoaded();
  emit Edited();
  emit SelectionChanged();
}

int TMapSession::LoadedIndex() const {
  if (!HasMap()) return -1;
  for (std::size_t i = 0; i < listed_.size(); ++i)
    if (listed_[i].Path == map_.CurrentFile) return static_cast<int>(i);
  return -1;
}

void TMapSession::RefreshListedLoaded() {
  const int i = LoadedIndex();
  if (i < 0) return;
  TListedMap& l = listed_[static_cast<std::size_t>(i)];
  const std::string oldGuid = l.Header.Guid;
  l.Header = HeaderOf(map_);
  // A file checked to its tiles as it is now keeps that check; any other is checked anew.
  const std::string identity = IdentityOf(l.Path);
  if (!(l.TilesChecked && l.Identity == identity)) {
    l.Check = OwnCheck(map_);
    l.TilesChecked = false;
    CheckTilesInBackground();
  }
  if (oldGuid != l.Header.Guid)
    FindCopiesOf({oldGuid, l.Header.Guid});
  else
    emit ListedMapChanged(i);
}

void TMapSession::CheckTilesInBackground() {
  const std::string path = map_.CurrentFile;
  const int generation = checks_->Next(path);
  QPointer<TMapSession> self(this);
  checks_->Start([this, self, path, generation] {
    std::string identity = IdentityOf(path);
    TMapCheck check = CheckMapFile(path, TCheckDepth::Tiles, 1);
    QMetaObject::invokeMethod(
        this,
        [this, self, path, generation, identity = std::move(identity), check = std::move(check)]() mutable {
          if (!self || !checks_->Current(path, generation)) return;
          for (std::size_t i = 0; i < listed_.size(); ++i) {
            TListedMap& l = listed_[i];
            if (l.Path != path) continue;
            l.Check = std::move(check);
            l.TilesChecked = true;
            l.Identity = identity;
            emit ListedMapChanged(static_cast<int>(i));
            return;
          }
        },
        Qt::QueuedConnection);
  });
}

// The folder ---------------------------------------------------------------------------------

std::vector<std::string> TMapSession::ScanFolder() {
  if (!HasMap()) return {};
  folder_ = FolderOf(map_.CurrentFile);
  TFolderScan scan;
  try {
    scan = ScanJnxFolder(folder_);
  } catch (const EBreloError& e) {
    return {e.what()};
  }
  // Checks that read the tiles stay with files that did not change since.
  std::map<std::string, TListedMap> deep;
  for (TListedMap& l : listed_)
    if (l.TilesChecked) deep.emplace(l.Path, std::move(l));
  std::vector<TListedMap> listed;
  listed.reserve(scan.Maps.size());
  for (TScannedMap& m : scan.Maps) {
    TListedMap l;
    l.Path = m.Path;
    l.Header = std::move(m.Header);
    if (const auto d = deep.find(l.Path); d != deep.end() && d->second.Identity == IdentityOf(l.Path)) {
      l.Check = std::move(d->second.Check);
      l.TilesChecked = true;
      l.Identity = std::move(d->second.Identity);
    } else {
      l.Check = OwnCheck(l.Header);
    }
    listed.push_back(std::move(l));
  }
  listed_ = std::move(listed);
  FindCopies();
  // The loaded map's row: its tables are known too.
  if (const int i = LoadedIndex(); i >= 0 && !listed_[static_cast<std::size_t>(i)].TilesChecked) {
    try {
      VerifyUnchanged(map_);
      listed_[static_cast<std::size_t>(i)].Check = OwnCheck(map_);
      CheckTilesInBackground();
    } catch (const EChangedOnDisk&) {
    }
  }
  signature_ = Signature();
  // One file that does not load, or an outline that cannot be written, does not stop the rest.
  std::vector<std::string> notes;
  std::string unreadable;
  for (const auto& u : scan.Unreadable) {
    // The reason without the path it starts with: the file's name comes first already.
    const std::string reason = u.Reason.rfind(u.Path + ": ", 0) == 0 ? u.Reason.substr(u.Path.size() + 2) : u.Reason;
    unreadable += (unreadable.empty() ? "Not read: " : "; ") + FileNameOf(u.Path) + ": " + reason;
  }
  if (!unreadable.empty()) notes.push_back(unreadable);
  scan.Maps.clear();
  for (const TListedMap& l : listed_) scan.Maps.push_back({l.Path, l.Header});
  if (std::string outline = outlineNotice_.Next(folder_, WriteFolderOutline(folder_, scan)); !outline.empty())
    notes.push_back(std::move(outline));
  WatchFiles();
  emit FolderListed();
  return notes;
}

void TMapSession::FindCopies() {
  std::vector<std::string> names, guids;
  names.reserve(listed_.size());
  guids.reserve(listed_.size());
  for (const TListedMap& l : listed_) {
    names.push_back(FileNameOf(l.Path));
    guids.push_back(l.Header.Guid);
  }
  auto copies = GuidCopyFindings(names, guids);
  for (std::size_t i = 0; i < listed_.size(); ++i) listed_[i].Copy = std::move(copies[i]);
}

void TMapSession::FindCopiesOf(const std::vector<std::string>& guids) {
  // Copies are maps of one GUID: only the maps of these GUIDs can have changed.
  const std::set<std::string> wanted(guids.begin(), guids.end());
  std::vector<std::size_t> rows;
  std::vector<std::string> names, same;
  for (std::size_t i = 0; i < listed_.size(); ++i)
    if (wanted.count(listed_[i].Header.Guid)) {
      rows.push_back(i);
      names.push_back(FileNameOf(listed_[i].Path));
      same.push_back(listed_[i].Header.Guid);
    }
  auto copies = GuidCopyFindings(names, same);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    listed_[rows[k]].Copy = std::move(copies[k]);
    emit ListedMapChanged(static_cast<int>(rows[k]));
  }
  // The loaded map's row shows its check whether or not it has a copy.
  if (const int i = LoadedIndex(); i >= 0 && !wanted.count(listed_[static_cast<std::size_t>(i)].Header.Guid))
    emit ListedMapChanged(i);
}

std::string TMapSession::Signature() const { return folder_.empty() ? std::string() : JnxFolderSignature(folder_); }

void TMapSession::WatchFiles() {
  const QStringList old = watcher_->files() + watcher_->directories();
  if (!old.isEmpty()) watcher_->removePaths(old);
  if (!HasMap()) return;
  const std::string folder = FolderOf(map_.CurrentFile);
  watcher_->addPath(QFile::decodeName(QByteArray::fromStdString(folder.empty() ? std::string("./") : folder)));
  if (FileExists(map_.CurrentFile)) watcher_->addPath(QFile::decodeName(QByteArray::fromStdString(map_.CurrentFile)));
}

void TMapSession::Hold(bool on) {
  held_ = on;
  if (on) {
    if (settle_->isActive()) looked_ = false;
    settle_->stop();
  } else if (!looked_) {
    looked_ = true;
    settle_->start();
  }
}

void TMapSession::LookAtDisk() {
  if (!HasMap() || looking_) return;
  if (held_) {
    looked_ = false;  // after the command
    return;
  }
  looking_ = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{looking_};
  const std::string path = map_.CurrentFile;
  const QString name = QString::fromStdString(FileNameOf(path));
  // The loaded file first: another program's change to it is followed, or offered.
  if (ChangedOnDiskFailure(map_)) {
    if (!FileExists(path)) {
      emit Notice(name + " was removed by another program");
    } else if (HasUnwrittenEdits()) {
      // Asked once for each state of the file.
      const std::string now = IdentityOf(path);
      if (now != declined_) {
        declined_ = now;
        emit ChangedOnDisk();
      }
    } else if (!Load(path)) {
      emit Notice(name + " changed on disk; loaded again");
    }
  }
  // The list follows files added, removed or replaced; the loaded map and its edits stay.
  if (!HasMap() || Signature() == signature_) return;
  const std::vector<std::string> notes = ScanFolder();
  if (!notes.empty()) {
    QStringList lines;
    for (const auto& n : notes) lines << QString::fromStdString(n);
    emit Notice(lines.join("; "));
  }
}

void TMapSession::Wrote(const std::string& path) {
  if (path == map_.CurrentFile) {
    TJnxMap loaded;
    loaded.CurrentFile = path;
    try {
      ReadJnx(loaded, path, true);
      Adopt(std::move(loaded));
    } catch (const EBreloError& e) {
      emit Notice(QString::fromStdString(e.what()));
    }
  }
  if (!folder_.empty() && FolderOf(path) == folder_ && Signature() != signature_) ScanFolder();
}

// Edits --------------------------------------------------------------------------------------

void TMapSession::Edit(const TMapEditCells& cells) {
  if (cells == edits_) return;
  edits_ = cells;
  edits_.Levels.resize(map_.Levels.size());
  emit Edited();
}

void TMapSession::DropEdits() {
  if (!HasUnwrittenEdits()) return;
  edits_ = clean_;
  emit Edited();
}

TCommandResult TMapSession::UpdateNow() {
  // Written from a copy: a refused or failed write leaves the model as the file is.
  TJnxMap updated = map_;
  TMapEditCells cells = edits_;
  TCommandResult r = UpdateNowCommand(updated, &cells);
  if (r.Ok) {
    edits_ = clean_ = cells;
    Adopt(std::move(updated));
    return r;
  }
  if (r.MayBeDamaged) {
    Wrote(map_.CurrentFile);
    return r;
  }
  if (!r.ChangedOnDisk) {
    // The map row shows the file's values again; the level texts stay as typed.
    TMapEditCells shown = edits_;
    shown.Version = clean_.Version, shown.ProductId = clean_.ProductId, shown.ProductName = clean_.ProductName;
    shown.ZOrder = clean_.ZOrder, shown.DetailLevel = clean_.DetailLevel, shown.ProductId2 = clean_.ProductId2;
    edits_ = shown;
    emit Edited();
  }
  return r;
}

TCommandResult TMapSession::AddPlaceholderLevel(const std::string& scaleName) {
  TJnxMap updated = map_;
  TCommandResult r = AddPlaceholderLevelCommand(updated, scaleName);
  if (r.Ok)
    Adopt(std::move(updated));
  else if (r.MayBeDamaged)
    Wrote(map_.CurrentFile);
  return r;
}

// Level and selection ------------------------------------------------------------------------

void TMapSession::SetLevel(int level) {
  const int count = static_cast<int>(map_.Levels.size());
  level = count == 0 ? -1 : std::clamp(level, 0, count - 1);
  // The pages draw the new level without the old level's selection.
  const bool had = !selected_.empty();
  selected_.clear();
  if (level != level_) {
    level_ = level;
    emit LevelChanged(level_);
  }
  if (had) emit SelectionChanged();
}

std::vector<int> TMapSession::ChosenTiles() const {
  std::vector<int> chosen;
  for (int t : selected_)
    if (t >= 0) chosen.push_back(t);
  return chosen;
}

void TMapSession::ToggleTile(int tile) {
  const auto it = std::find(selected_.begin(), selected_.end(), tile);
  if (it != selected_.end())
    *it = -1;
  else
    selected_.push_back(tile);
  emit SelectionChanged();
}

void TMapSession::ClearSelection() {
  if (selected_.empty()) return;
  selected_.clear();
  emit SelectionChanged();
}

// The overlay --------------------------------------------------------------------------------

std::optional<std::string> TMapSession::LoadGpx(const std::string& path) {
  std::optional<std::string> error;
  try {
    ReadGpx(path, gpx_);
  } catch (const EBreloError& e) {
    error = e.what();
  }
  emit OverlayChanged();
  return error;
}

void TMapSession::SetTrack(std::vector<TWpt> track) {
  gpx_.Track = std::move(track);
  emit OverlayChanged();
}

void TMapSession::AddTrackPoint(const TWpt& point) { gpx_.Track.push_back(point); }

void TMapSession::RemoveLastTrackPoint() {
  if (!gpx_.Track.empty()) gpx_.Track.pop_back();
  emit OverlayChanged();
}

void TMapSession::SetTrackColour(int colour) {
  gpx_.CheckedTrackColor = colour;
  emit OverlayChanged();
}

}  // namespace brelo
