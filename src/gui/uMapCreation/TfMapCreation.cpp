// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/uMapCreation/TfMapCreation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <random>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "commands/CreateCommand.h"
#include "commands/RasterCreateCommand.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/DisplayName.h"
#include "gui/common/LongWork.h"
#include "gui/common/WorkBar.h"
#include "jnx/ScaleTable.h"
#include "raster/GeoRaster.h"

namespace brelo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QLineEdit* Edit(const char* name, const QString& hint, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setToolTip(hint);
  // A flashed field keeps its place while it is hidden.
  QSizePolicy p = e->sizePolicy();
  p.setRetainSizeWhenHidden(true);
  e->setSizePolicy(p);
  return e;
}

void Grey(QLineEdit* e) {
  e->setReadOnly(true);
  QPalette p = e->palette();
  p.setColor(QPalette::Base, p.color(QPalette::Window));
  e->setPalette(p);
}

int RandomId() {
  static std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return std::uniform_int_distribution<int>(0, 99)(random);
}

}  // namespace

TfMapCreation::TfMapCreation(TfOpenSaveDialog& fileDialog, TSettings& settings, TLongWork& longWork, QWidget* parent)
    : QDialog(parent), fileDialog_(fileDialog), settings_(settings), longWork_(longWork) {
  setObjectName("fMapCreation");
  setWindowTitle("JNX Map Parameters");
  Question = [this](const QString& text) {
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  auto* source = new QGroupBox(" Source ", this);
  auto* sourceForm = new QFormLayout(source);
  leFileName = Edit("leFileName", "Required", source);
  leFileName->setReadOnly(true);
  leFileName->setCursor(Qt::PointingHandCursor);
  leFileName->setFocusPolicy(Qt::StrongFocus);
  leFileName->setToolTip("Required: click, or press Enter, Space, F4 or Alt+Down, to choose the source");
  leFileName->installEventFilter(this);
  leLevelPixels = Edit("leLevelPixels", "", source);
  Grey(leLevelPixels);
  leLevelKilometers = Edit("leLevelKilometers", "", source);
  Grey(leLevelKilometers);
  Label2 = new QLabel("50px=?", source);
  Label2->setObjectName("Label2");
  Label3 = new QLabel("pmax=?", source);
  Label3->setObjectName("Label3");
  auto row = [](QWidget* edit, QLabel* label) {
    auto* h = new QHBoxLayout;
    h->addWidget(edit, 1);
    h->addWidget(label);
    return h;
  };
  sourceForm->addRow("File Name", leFileName);
  sourceForm->addRow("Size in Pixels", row(leLevelPixels, Label2));
  sourceForm->addRow("Size in Kilometers", row(leLevelKilometers, Label3));

  auto* destination = new QGroupBox(" Destination ", this);
  auto* destinationForm = new QFormLayout(destination);
  leProductName = Edit("leProductName", "Required", destination);
  leProductID = Edit("leProductID", "0..", destination);
  leZOrder = Edit("leZOrder", Q(Format("%d..%d", 0, 100)), destination);
  leDetailLevel = Edit("leDetailLevel", "", destination);
  destinationForm->addRow("Product Name", leProductName);
  destinationForm->addRow("ID", leProductID);
  destinationForm->addRow("ZOrder", leZOrder);
  destinationForm->addRow("Detail Level", leDetailLevel);

  auto* level = new QGroupBox(" Level 1 ", this);
  auto* levelForm = levelForm_ = new QFormLayout(level);
  cbeTrexScale = new QComboBox(level);
  cbeTrexScale->setObjectName("cbeTrexScale");
  for (const auto& entry : ScaleTable) cbeTrexScale->addItem(entry.Name);
  cbeTrexScale->setCurrentIndex(-1);
  cbeTrexScale->setToolTip("Required");
  QSizePolicy keep = cbeTrexScale->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  cbeTrexScale->setSizePolicy(keep);
  leTileW = Edit("leTileW", "1..", level);
  leTileH = Edit("leTileH", "1..", level);
  leTileW->setText(QString::number(settings_.TileWidth));
  leTileH->setText(QString::number(settings_.TileHeight));
  leTileCount = Edit("leTileCount", Q(Format("%d..%d", 1, 50000)), level);
  Grey(leTileCount);
  leLevelName = Edit("leLevelName", "", level);
  leLevelDescription = Edit("leLevelDescription", "", level);
  leLevelCopyright = Edit("leLevelCopyright", "", level);
  levelForm->addRow("eTrex Scale", cbeTrexScale);
  levelForm->addRow("Tile Width", leTileW);
  levelForm->addRow("Tile Height", leTileH);
  levelForm->addRow("Tile Count", leTileCount);
  levelForm->addRow("Name", leLevelName);
  levelForm->addRow("Description", leLevelDescription);
  levelForm->addRow("Copyright", leLevelCopyright);

  gbLevels = new QGroupBox(" Levels ", this);
  gbLevels->setObjectName("gbLevels");
  auto* levelsLayout = new QVBoxLayout(gbLevels);
  auto* options = new QHBoxLayout;
  sbLevels = new QSpinBox(gbLevels);
  sbLevels->setObjectName("sbLevels");
  sbLevels->setRange(0, kMaxLevels);
  sbLevels->setSpecialValueText("auto");
  sbQuality = new QSpinBox(gbLevels);
  sbQuality->setObjectName("sbQuality");
  sbQuality->setRange(1, 100);
  sbQuality->setValue(85);
  cbResampling = new QComboBox(gbLevels);
  cbResampling->setObjectName("cbResampling");
  cbResampling->addItems({"near", "bilinear", "cubic", "lanczos", "average"});
  cbResampling->setCurrentText("cubic");
  cbTileSize = new QComboBox(gbLevels);
  cbTileSize->setObjectName("cbTileSize");
  cbTileSize->addItems({"256", "512", "1024"});
  for (auto [label, control] : std::initializer_list<std::pair<const char*, QWidget*>>{
           {"Levels", sbLevels}, {"Quality", sbQuality}, {"Resampling", cbResampling}, {"Tile Size", cbTileSize}}) {
    options->addWidget(new QLabel(label, gbLevels));
    options->addWidget(control);
  }
  options->addStretch(1);
  tvLevels = new QTableWidget(0, 5, gbLevels);
  tvLevels->setObjectName("tvLevels");
  tvLevels->setHorizontalHeaderLabels({"Level", "m/pixel", "Tiles", "eTrex Scale", "Size"});
  tvLevels->verticalHeader()->hide();
  tvLevels->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvLevels->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  tvLevels->setMinimumHeight(150);
  lPlan = new QLabel(gbLevels);
  lPlan->setObjectName("lPlan");
  lPlan->setWordWrap(true);
  levelsLayout->addLayout(options);
  levelsLayout->addWidget(tvLevels);
  levelsLayout->addWidget(lPlan);
  gbLevels->hide();

  bStart = new QPushButton("Start", this);
  bStart->setObjectName("bStart");
  bStart->setEnabled(false);
  bStart->setAutoDefault(false);
  bCancel = new QPushButton("Close", this);
  bCancel->setObjectName("bCancel");
  bCancel->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(bStart);
  buttons->addWidget(bCancel);
  lInfo = new QLabel(this);
  lInfo->setObjectName("lInfo");
  lInfo->setMinimumWidth(360);
  workBar = new TWorkBar(lInfo, this);

  layout->addWidget(source);
  layout->addWidget(destination);
  layout->addWidget(level);
  layout->addWidget(gbLevels);
  layout->addLayout(buttons);
  layout->addWidget(lInfo);
  layout->addWidget(workBar);

  // Form creation: a random product identifier, Z order 30.
  leProductID->setText(QString::number(RandomId()));
  leZOrder->setText("30");

  connect(leTileW, &QLineEdit::textEdited, this, [this] { leTileWChange(); });
  connect(leTileH, &QLineEdit::textEdited, this, [this] { leTileWChange(); });
  connect(cbeTrexScale, qOverload<int>(&QComboBox::activated), this, [this](int) { cbeTrexScaleClick(); });
  connect(bStart, &QPushButton::clicked, this, [this] { bStartClick(); });
  connect(bCancel, &QPushButton::clicked, this, &QDialog::close);
  connect(sbLevels, qOverload<int>(&QSpinBox::valueChanged), this, [this] {
    scalesChosen_ = false;
    PlanRaster();
  });
  connect(sbQuality, qOverload<int>(&QSpinBox::valueChanged), this, [this] { PlanRaster(); });
  connect(cbTileSize, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { PlanRaster(); });
  // Ctrl+Q quits the program from the dialog too, through the main window's own question.
  auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
  connect(quit, &QShortcut::activated, this, [this] {
    if (parentWidget()) parentWidget()->window()->close();
  });
}

void TfMapCreation::ApplySettings() {
  leTileW->setText(QString::number(settings_.TileWidth));
  leTileH->setText(QString::number(settings_.TileHeight));
}

bool TfMapCreation::eventFilter(QObject* watched, QEvent* event) {
  if (watched != leFileName) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    leFileNameClick();
    return true;
  }
  // The file dialog from the keyboard, with the keys that open a drop-down or press a button.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool alt = key->modifiers() & Qt::AltModifier;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space ||
        key->key() == Qt::Key_F4 || (alt && key->key() == Qt::Key_Down)) {
      leFileNameClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfMapCreation::closeEvent(QCloseEvent* event) {
  // A build runs on until it is done or cancelled; the dialog stays with its bar meanwhile.
  if (workBar->Running()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TfMapCreation::leFileNameClick() {
  TfOpenSaveDialog& d = fileDialog_;
  const QFileInfo current(leFileName->text());
  // Raster formats when the raster module is there; calibrated maps and archives always.
  QString rasters;
  try {
    for (const auto& p : RasterDriver().Patterns()) rasters += (rasters.isEmpty() ? "" : ";") + Q(p);
  } catch (const EBreloError&) {
  }
  d.Filter = "*.map;*.tar" + (rasters.isEmpty() ? QString() : "|" + rasters) + "|*.map|*.tar";
  d.Folder = leFileName->text().isEmpty() ? QString() : current.path() + "/";
  d.FileName = current.fileName();
  d.SaveMode = false;
  d.setWindowTitle("Open map");
  d.DefaultExt.clear();
  if (!d.Execute()) return;
  LoadSource(d.Path());
}

void TfMapCreation::ClearSource() {
  source_ = TMapSourceInfo{};
  for (QLineEdit* e : {leFileName, leLevelPixels, leLevelKilometers, leTileCount, leProductName}) e->clear();
  Label2->setText("50px=?");
  Label3->setText("pmax=?");
  cbeTrexScale->setCurrentIndex(-1);
  cbeTrexScale->setToolTip("Required");
  bStart->setEnabled(false);
}

void TfMapCreation::LoadSource(const std::string& path) {
  // The result of an earlier build is not this source's.
  lInfo->clear();
  lInfo->setToolTip(QString());
  if (IsRasterSource({path})) return LoadRaster(path);
  raster_.reset();
  ShowSourceKind(false);
  try {
    source_ = ReadMapSource(path, settings_.TileWidth, settings_.TileHeight, &source_);
  } catch (const EBreloError& e) {
    // Nothing of the previous source stays to be built under this one's name.
    ClearSource();
    lInfo->setText(Q(e.what()));
    if (ErrorBox) ErrorBox(Q(e.what()));
    return;
  }
  bStart->setEnabled(true);
  leFileName->setText(DisplayName(path));
  sourcePath_ = path;
  const TMapSourceInfo& s = source_;
  leTileCount->setText(Q(s.TileCount));
  leProductName->setText(Q(s.ProductName));
  if (!s.Points.empty()) {
    leLevelPixels->setText(Q(s.LevelPixels));
    leLevelKilometers->setText(Q(s.LevelKilometers));
    Label2->setText(Q(s.Label2));
    Label3->setText(Q(s.Label3));
    cbeTrexScale->setCurrentIndex(s.SuggestedScale);
    cbeTrexScaleClick();
  }
  emit Memo(s.Memo);
  leProductID->setText(QString::number(RandomId()));
  leTileW->setEnabled(s.TileSizeEnabled);
  leTileH->setEnabled(s.TileSizeEnabled);
  if (s.TileSizeEnabled) leTileWChange();
}

void TfMapCreation::leTileWChange() {
  leTileCount->setText(
      Q(TileCountText(source_.ImageWidth, source_.ImageHeight, S(leTileW->text()), S(leTileH->text()))));
}

void TfMapCreation::cbeTrexScaleClick() {
  const int i = cbeTrexScale->currentIndex();
  if (i >= 0 && i < static_cast<int>(ScaleTable.size()))
    cbeTrexScale->setToolTip(QString::number(ScaleTable[static_cast<std::size_t>(i)].Value));
}

void TfMapCreation::FlashControl(QWidget* control) {
  if (!control || flashed_) return;
  QApplication::beep();
  flashed_ = control;
  control->hide();
  QTimer::singleShot(500, this, [this, control] {
    control->show();
    control->setFocus();
    flashed_ = nullptr;
  });
}

void TfMapCreation::bStartClick() {
  if (RasterMode()) return StartRaster();
  TCreationFields fields{leFileName->text().isEmpty() ? std::string() : sourcePath_,
                         S(leProductName->text()),
                         S(leProductID->text()),
                         S(leZOrder->text()),
                         cbeTrexScale->currentIndex(),
                         S(leTileW->text()),
                         S(leTileH->text()),
                         S(leTileCount->text())};
  const TCreationField invalid = FirstInvalidField(fields);
  if (invalid != TCreationField::None) {
    FlashControl(findChild<QWidget*>(CreationFieldControl(invalid)));
    return;
  }
  settings_.TileWidth = leTileW->text().toInt();
  settings_.TileHeight = leTileH->text().toInt();
  TCreationParams params;
  params.Source = fields.FileName;
  params.ProductId = leProductID->text().toInt();
  params.ProductName = fields.ProductName;
  params.ZOrder = leZOrder->text().toInt();
  params.ScaleName = S(cbeTrexScale->currentText());
  params.DetailLevel = S(leDetailLevel->text());
  params.LevelName = S(leLevelName->text());
  params.LevelDescription = S(leLevelDescription->text());
  params.LevelCopyright = S(leLevelCopyright->text());
  // A file of the new map's name may be the user's own map: replaced only when the user says so.
  const std::string jnx = CreatedMapName(params.Source);
  lInfo->clear();
  lInfo->setToolTip(QString());
  if (FileExists(jnx)) {
    if (!Question || !Question(DisplayName(FileNameOf(jnx)) + " exists. Replace it with the new map?")) return;
    params.Overwrite = true;
  }
  const int tileWidth = settings_.TileWidth, tileHeight = settings_.TileHeight;
  RunBuild([&](const TWorkMeter& meter, const ProgressSink& line) {
    return CreateMapCommand(fields, params, tileWidth, tileHeight, line, &meter);
  });
}

void TfMapCreation::RunBuild(const std::function<TCommandResult(const TWorkMeter&, const ProgressSink&)>& build) {
  // The dialog takes no input but the bar's Cancel while the map is built.
  for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (w != workBar && w != lInfo) w->setEnabled(false);
  TCommandResult r;
  try {
    longWork_.Run(*workBar, "the build", true,
                  [&](const TWorkMeter& meter, const ProgressSink& line) { r = build(meter, line); });
  } catch (...) {
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) w->setEnabled(true);
    throw;
  }
  for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) w->setEnabled(true);
  ShowResult(r);
}

void TfMapCreation::ShowResult(const TCommandResult& r) {
  if (r.Ok) {
    // The new map's device check: its summary, its findings in the line's hint.
    lInfo->setText(Q(r.Text) + (r.Check.empty() ? QString() : "  Check: " + Q(r.Check)));
    QStringList findings;
    for (const auto& f : r.CheckFindings) findings << Q(f);
    lInfo->setToolTip(findings.join('\n'));
    return;
  }
  // A failed build says so on the line and in the error display; it is never reported saved.
  lInfo->setText(Q(r.Text).replace('\n', ' ').simplified());
  if (r.Cancelled) return;
  if (ErrorBox) {
    for (const auto& e : r.Earlier) ErrorBox(Q(e));
    ErrorBox(Q(r.Detail.empty() ? r.Text : r.Text + "\n\n" + r.Detail));
  }
}

void TfMapCreation::ShowSourceKind(bool raster) {
  gbLevels->setVisible(raster);
  // The level texts go into every level of a raster's map.
  if (auto* texts = qobject_cast<QGroupBox*>(levelForm_->parentWidget()))
    texts->setTitle(raster ? " Level Texts " : " Level 1 ");
  // A raster's levels take their scales and tile size from the levels table.
  for (QWidget* w : {static_cast<QWidget*>(cbeTrexScale), static_cast<QWidget*>(leTileW),
                     static_cast<QWidget*>(leTileH), static_cast<QWidget*>(leTileCount)})
    levelForm_->setRowVisible(w, !raster);
  adjustSize();
}

void TfMapCreation::LoadRaster(const std::string& path) {
  TRasterBuildOptions options;
  options.Sources = {path};
  try {
    const TBusyCursor busy;
    raster_ = std::make_unique<TRasterPlan>(PlanRasterMap(options));
  } catch (const EBreloError& e) {
    raster_.reset();
    ClearSource();
    ShowSourceKind(false);
    lInfo->setText(Q(e.what()));
    if (ErrorBox) ErrorBox(Q(e.what()));
    return;
  }
  sourcePath_ = path;
  leFileName->setText(DisplayName(path));
  const TRasterSourceInfo& info = raster_->Source->Info();
  leLevelPixels->setText(QString("%1 x %2").arg(info.Grid.Width).arg(info.Grid.Height));
  leLevelKilometers->setText(QString("%1 x %2")
                                 .arg(info.Grid.Width * info.MetresPerPixel / 1000, 0, 'f', 2)
                                 .arg(info.Grid.Height * info.MetresPerPixel / 1000, 0, 'f', 2));
  Label2->setText(QString("%1 m/px").arg(info.MetresPerPixel, 0, 'f', 2));
  Label3->setText(Q(info.Summary.substr(info.Summary.find(": ") + 2)));
  leProductName->setText(QFileInfo(DisplayName(path)).completeBaseName());
  leProductID->setText(QString::number(RandomId()));
  std::vector<std::string> lines{info.Summary};
  for (const auto& n : info.Notes) lines.push_back("note: " + n);
  emit Memo(lines);
  scalesChosen_ = false;
  ShowSourceKind(true);
  PlanRaster();
}

TRasterBuildOptions TfMapCreation::RasterOptions() const {
  TRasterBuildOptions o;
  o.Sources = {sourcePath_};
  o.Levels.Levels = sbLevels->value();
  o.Levels.Quality = sbQuality->value();
  o.Levels.TileSize = cbTileSize->currentText().toInt();
  o.Levels.MaxTiles = MaxTiles;
  ParseResampling(S(cbResampling->currentText()), o.Resampling);
  if (scalesChosen_) {
    // The table lists the least detailed level first; the plan takes the most detailed first.
    for (int row = tvLevels->rowCount(); row-- > 0;)
      if (auto* c = qobject_cast<QComboBox*>(tvLevels->cellWidget(row, 3)))
        o.Levels.ScaleNames.push_back(S(c->currentText()));
  }
  o.Texts.ProductName = S(leProductName->text());
  o.Texts.ProductId = leProductID->text().toInt();
  o.Texts.ZOrder = leZOrder->text().toInt();
  o.Texts.DetailLevel = S(leDetailLevel->text());
  o.Texts.LevelName = S(leLevelName->text());
  o.Texts.LevelDescription = S(leLevelDescription->text());
  o.Texts.LevelCopyright = S(leLevelCopyright->text());
  return o;
}

void TfMapCreation::PlanRaster() {
  if (!raster_) return;
  const TRasterBuildOptions o = RasterOptions();
  const TRasterSourceInfo& info = raster_->Source->Info();
  try {
    raster_->Plan = PlanLevels(info.Grid, info.MetresPerPixel, o.Levels, RasterMapName(o));
  } catch (const EBreloError& e) {
    lPlan->setText(Q(e.what()));
    lPlan->setStyleSheet("color: red");
    bStart->setEnabled(false);
    return;
  }
  const TLevelPlan& plan = raster_->Plan;
  const int n = static_cast<int>(plan.Levels.size());
  tvLevels->setRowCount(n);
  for (int row = 0; row < n; ++row) {
    const TPlannedLevel& l = plan.Levels[static_cast<std::size_t>(n - 1 - row)];
    const std::int64_t tiles = plan.Tiles(static_cast<std::size_t>(n - 1 - row));
    auto cell = [this, row](int column, const QString& text, bool over = false) {
      auto* item = new QTableWidgetItem(text);
      if (over) item->setForeground(Qt::red);
      tvLevels->setItem(row, column, item);
    };
    cell(0, QString::number(row + 1));
    cell(1, QString::number(l.MetresPerPixel, 'f', 2));
    cell(2, QString::number(tiles), tiles > MaxTiles);
    cell(4, QString("%1 MB").arg(l.EstimatedBytes / 1048576.0, 0, 'f', 1), l.EstimatedBytes >= kMaxJnxBytes);
    auto* scale = new QComboBox(tvLevels);
    scale->setObjectName(QString("cbLevelScale%1").arg(row + 1));
    for (const auto& entry : ScaleTable) scale->addItem(entry.Name);
    scale->setCurrentText(Q(l.ScaleName));
    connect(scale, qOverload<int>(&QComboBox::activated), this, [this] {
      scalesChosen_ = true;
      PlanRaster();
    });
    tvLevels->setCellWidget(row, 3, scale);
  }
  QString text = plan.Volumes.size() > 1
                     ? QString("Split into %1 volumes: %2 ... %3")
                           .arg(plan.Volumes.size())
                           .arg(DisplayName(FileNameOf(plan.Volumes.front().Path)))
                           .arg(DisplayName(FileNameOf(plan.Volumes.back().Path)))
                     : QString("One file: %1").arg(DisplayName(FileNameOf(plan.Volumes.front().Path)));
  text += QString(", about %1 MB").arg(plan.EstimatedBytes / 1048576.0, 0, 'f', 1);
  for (const auto& note : plan.Notes) text += "\n" + Q(note);
  lPlan->setText(text);
  lPlan->setStyleSheet(plan.Volumes.size() > 1 ? "color: red" : "");
  bStart->setEnabled(true);
}

void TfMapCreation::StartRaster() {
  // The product fields follow the calibrated maps' rules; scale and tile size come from the
  // levels table, so they stand in as valid here.
  const TCreationFields fields{
      sourcePath_, S(leProductName->text()), S(leProductID->text()), S(leZOrder->text()), 0, "256", "256", "1"};
  const TCreationField invalid = FirstInvalidField(fields);
  if (invalid != TCreationField::None) return FlashControl(findChild<QWidget*>(CreationFieldControl(invalid)));
  TRasterBuildOptions o = RasterOptions();
  PlanRaster();
  if (!bStart->isEnabled()) return;
  lInfo->clear();
  lInfo->setToolTip(QString());
  // Files of the new map's names may be the user's own maps: replaced only when the user says so.
  QStringList existing;
  for (const auto& v : raster_->Plan.Volumes)
    if (FileExists(v.Path)) existing << DisplayName(FileNameOf(v.Path));
  if (!existing.isEmpty()) {
    if (!Question ||
        !Question(existing.join(", ") + (existing.size() > 1 ? " exist" : " exists") + ". Replace with the new map?"))
      return;
    o.Overwrite = true;
  }
  RunBuild([&](const TWorkMeter& meter, const ProgressSink& line) { return CreateRasterMapCommand(o, line, &meter); });
}

}  // namespace brelo
