// SPDX-License-Identifier: GPL-3.0-or-later
// The map creation dialog through its widgets: reading a source, the tile count, the order of
// the checks with the flashed field, a build and a failed one.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "GuiSupport.h"
#include "TestSupport.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/common/LongWork.h"
#include "gui/common/Settings.h"
#include "gui/common/WorkBar.h"
#include "gui/uMapCreation/TfMapCreation.h"
#include "jnx/DeviceLimits.h"
#include "jnx/JnxMap.h"
#include "jnx/ScaleTable.h"

using namespace brelo;
using namespace brelo::test;

namespace {

struct TDialog {
  TTempDir settingsDir;
  TSettings settings;
  TfOpenSaveDialog files{QString::fromStdString(settingsDir.Path()), QString::fromStdString(settingsDir.Path())};
  TLongWork longWork;
  TfMapCreation dialog{files, settings, longWork};
  QStringList errors, questions;
  std::deque<bool> answers;  // the next questions' answers; no answer is "no"
  std::vector<std::string> memo;
  TDialog() {
    dialog.ErrorBox = [this](const QString& text) { errors << text; };
    dialog.Question = [this](const QString& text) {
      questions << text;
      const bool yes = !answers.empty() && answers.front();
      if (!answers.empty()) answers.pop_front();
      return yes;
    };
    QObject::connect(&dialog, &TfMapCreation::Memo, [this](const std::vector<std::string>& lines) { memo = lines; });
    dialog.show();
  }
  // Start, then the field that was flashed (nullptr when none), waiting for it to come back.
  QWidget* Start() {
    dialog.bStartClick();
    QWidget* flashed = dialog.Flashed();
    if (flashed) {
      [&] { QVERIFY(!flashed->isVisible()); }();
      [&] { QTRY_VERIFY_WITH_TIMEOUT(flashed->isVisible(), 2000); }();
    }
    return flashed;
  }
};

// The source chosen as the user does: a press on the file name, the name typed into the file
// dialog, Enter.
void PickSource(TDialog& d, const std::string& path) {
  WhenShown(&d.files, [&d, path] {
    d.files.findChild<QComboBox*>("cbFileName")->setFocus();
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus(QString::fromStdString(path));
    KeyToFocus(Qt::Key_Return);
    if (d.files.isVisible()) d.files.reject();
  });
  QTest::mouseClick(d.dialog.leFileName, Qt::LeftButton);
  // Back in the dialog once the file dialog has closed.
  d.dialog.activateWindow();
  (void)QTest::qWaitForWindowActive(&d.dialog);
}

}  // namespace

class TCreationTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallModalWatchdog(); }

  void StartsWithItsDefaults() {
    TDialog d;
    QCOMPARE(d.dialog.windowTitle(), QString("JNX Map Parameters"));
    QVERIFY(!d.dialog.isModal());
    QVERIFY(!d.dialog.bStart->isEnabled());
    const int id = d.dialog.leProductID->text().toInt();
    QVERIFY(id >= 0 && id <= 99);
    QCOMPARE(d.dialog.leZOrder->text(), QString("30"));
    QCOMPARE(d.dialog.leZOrder->toolTip(), QString("0..100"));
    QCOMPARE(d.dialog.leTileCount->toolTip(), QString("1..50000"));
    QCOMPARE(d.dialog.leTileW->text(), QString("256"));
    QCOMPARE(d.dialog.cbeTrexScale->count(), 27);
    QCOMPARE(d.dialog.cbeTrexScale->currentIndex(), -1);
  }

  void ASourceFillsTheFieldsAndStartChecksInOrder() {
    TTempDir dir;
    WriteOziMap(dir.Path("p.map"), "p.png", 1000, 700, 19.8, 49.3, 20.0, 49.2);
    WritePng(dir.Path("p.png"), TestPicture(1000, 700), false);
    TDialog d;
    d.dialog.LoadSource(dir.Path("p.map"));
    QVERIFY(d.dialog.bStart->isEnabled());
    QCOMPARE(d.dialog.leLevelPixels->text(), QString("1000 x 700"));
    QCOMPARE(d.dialog.leProductName->text(), QString("test map"));
    QVERIFY(d.dialog.leTileW->isEnabled());  // no set file: the picture will be cut
    QCOMPARE(d.dialog.leTileCount->text(), QString("12"));
    QVERIFY(d.dialog.cbeTrexScale->currentIndex() >= 0);
    QCOMPARE(d.dialog.cbeTrexScale->toolTip(),
             QString::number(ScaleTable[static_cast<std::size_t>(d.dialog.cbeTrexScale->currentIndex())].Value));
    QVERIFY(d.memo.size() >= 4);
    // Clearing the tile width shows "?"; Start flashes the width, then, with 1 x 1 tiles,
    // the tile count of 700,000.
    d.dialog.leTileW->selectAll();
    QTest::keyClick(d.dialog.leTileW, Qt::Key_Backspace);
    QCOMPARE(d.dialog.leTileCount->text(), QString("?"));
    QCOMPARE(d.Start(), d.dialog.leTileW);
    d.dialog.leTileW->setText("1");
    d.dialog.leTileH->setText("1");
    d.dialog.leTileWChange();
    QCOMPARE(d.Start(), d.dialog.leTileCount);
    // Earlier fields first: the name, the identifier, the Z order.
    d.dialog.leProductName->setText("  ");
    QCOMPARE(d.Start(), d.dialog.leProductName);
    d.dialog.leProductName->setText("Created");
    d.dialog.leProductID->setText("-1");
    QCOMPARE(d.Start(), d.dialog.leProductID);
    d.dialog.leProductID->setText("7");
    d.dialog.leZOrder->setText("101");
    QCOMPARE(d.Start(), d.dialog.leZOrder);
    d.dialog.leZOrder->setText("20");
    // A build: the tile size goes to the settings, the new file has the typed fields.
    d.dialog.leTileW->setText("512");
    d.dialog.leTileH->setText("256");
    d.dialog.leTileWChange();
    QCOMPARE(d.dialog.leTileCount->text(), QString("6"));
    d.dialog.leLevelName->setText("Level name");
    QCOMPARE(d.Start(), nullptr);
    QVERIFY(d.dialog.lInfo->text().startsWith("p.jnx saved in "));
    QVERIFY(d.dialog.bStart->isEnabled());
    QCOMPARE(d.settings.TileWidth, 512);
    const TJnxMap m = LoadJnx(dir.Path("p.jnx"));
    QCOMPARE(m.ProductName, std::string("Created"));
    QCOMPARE(m.ProductId, 7);
    QCOMPARE(m.ZOrder, 20);
    QCOMPARE(m.Levels.size(), std::size_t(1));
    QCOMPARE(m.Levels[0].TileCount, 6);
    QCOMPARE(m.Levels[0].Name, std::string("Level name"));
    QVERIFY(d.errors.isEmpty());
    // The picture gone: the error is shown, nothing claims success, Start works again. The
    // map of the first build is replaced only when the user says so.
    std::filesystem::remove(dir.Path("p.png"));
    const auto built = ReadFile(dir.Path("p.jnx"));
    QCOMPARE(d.Start(), nullptr);
    QCOMPARE(d.questions.size(), 1);
    QCOMPARE(d.questions[0], QString("p.jnx exists. Replace it with the new map?"));
    QCOMPARE(ReadFile(dir.Path("p.jnx")), built);
    QVERIFY(d.errors.isEmpty());
    d.answers = {true};
    QCOMPARE(d.Start(), nullptr);
    QVERIFY(!d.errors.isEmpty());
    QVERIFY(!d.dialog.lInfo->text().contains("saved in"));
    QVERIFY(d.dialog.bStart->isEnabled());
  }

  // A source that does not read leaves nothing of the previous one; an archive the export
  // did not make is refused when it is picked; a double click on the scale selector's arrow
  // leaves the dialog open.
  void SourcesThatDoNotReadAndTheSelector() {
    TTempDir dir;
    WriteOziMap(dir.Path("s.map"), "s.png", 1024, 768, 19.8, 49.3, 20.0, 49.2);
    TDialog d;
    d.dialog.LoadSource(dir.Path("s.map"));
    QCOMPARE(d.dialog.leLevelPixels->text(), QString("1024 x 768"));
    QVERIFY(d.dialog.bStart->isEnabled());
    WriteFile(dir.Path("foreign.tar"), std::vector<std::uint8_t>(1024, 0));
    d.dialog.LoadSource(dir.Path("foreign.tar"));
    QCOMPARE(d.errors.size(), 1);
    QVERIFY2(d.errors[0].endsWith("not an archive made by SaveTAR: it holds no .map file"), qPrintable(d.errors[0]));
    for (QLineEdit* e : {d.dialog.leFileName, d.dialog.leLevelPixels, d.dialog.leLevelKilometers, d.dialog.leTileCount,
                         d.dialog.leProductName})
      QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
    QCOMPARE(d.dialog.cbeTrexScale->currentIndex(), -1);
    QVERIFY(!d.dialog.bStart->isEnabled());
    QComboBox* scale = d.dialog.cbeTrexScale;
    const QPoint arrow(scale->width() - 6, scale->height() / 2);
    QTest::mouseDClick(scale, Qt::LeftButton, {}, arrow);
    QTest::qWait(100);
    QVERIFY(d.dialog.isVisible());
    if (scale->view()->isVisible()) QTest::keyClick(scale->view(), Qt::Key_Escape);
    QVERIFY(d.dialog.isVisible());
  }

  void AnExportedSetKeepsItsTileCount() {
    TTempDir dir;
    WriteOziMap(dir.Path("s.map"), "s.png", 1024, 768, 19.8, 49.3, 20.0, 49.2);
    std::string set;
    for (int i = 0; i < 12; ++i) set += "l1_" + std::to_string(i) + ".jpg\r\n";
    WriteText(dir.Path("s.set"), set);
    TDialog d;
    d.dialog.LoadSource(dir.Path("s.map"));
    QCOMPARE(d.dialog.leLevelPixels->text(), QString("1024 x 768"));
    QCOMPARE(d.dialog.leTileCount->text(), QString("12"));
    QVERIFY(!d.dialog.leTileW->isEnabled() && !d.dialog.leTileH->isEnabled());
    // A map that is not a calibration: the conversion error is shown.
    WriteText(dir.Path("bad.map"), "a\r\nb\r\nc\r\nd\r\ne\r\nMMPNUM,4\r\nMMPXY,1,abc,0\r\n");
    d.dialog.LoadSource(dir.Path("bad.map"));
    QCOMPARE(d.errors.size(), 1);
  }

  // A georeferenced raster picked in the file dialog: its levels in the table, the count and
  // scales chosen there, limits in red with the split said, a build off the window's thread,
  // and no file replaced without asking.
  void ARasterSourceShowsItsLevelsAndBuilds() {
    TDialog d;
    TTempDir dir;
    const TRunResult made = RunCommand(Cli("export " + SampleFile() + " 2 " + dir.Path("sample.tif")));
    QVERIFY2(made.Status == 0, made.Err.c_str());
    PickSource(d, dir.Path("sample.tif"));
    QVERIFY(d.dialog.RasterMode());
    QVERIFY(d.dialog.gbLevels->isVisible());
    QVERIFY(!d.dialog.cbeTrexScale->isVisible());
    QCOMPARE(d.dialog.leProductName->text(), QString("sample"));
    QVERIFY(d.dialog.tvLevels->rowCount() >= 1);
    // Two levels, chosen with the keyboard: scales distinct, the least detailed first.
    d.dialog.sbLevels->setFocus();
    KeyToFocus(Qt::Key_Up);
    KeyToFocus(Qt::Key_Up);
    QCOMPARE(d.dialog.tvLevels->rowCount(), 2);
    auto scale = [&](int row) {
      return ScaleValue(qobject_cast<QComboBox*>(d.dialog.tvLevels->cellWidget(row, 3))->currentText().toStdString());
    };
    QVERIFY(scale(0) > scale(1));
    // Over the tile limit: the count in red, the split said.
    d.dialog.MaxTiles = 4;  // the finest level has 12
    d.dialog.sbQuality->setFocus();
    KeyToFocus(Qt::Key_Down);
    QCOMPARE(d.dialog.tvLevels->item(1, 2)->foreground().color(), QColor(Qt::red));
    QVERIFY2(d.dialog.lPlan->text().startsWith("Split into"), qPrintable(d.dialog.lPlan->text()));
    d.dialog.MaxTiles = kMaxTilesPerLevel;
    KeyToFocus(Qt::Key_Up);
    QVERIFY(d.dialog.lPlan->text().startsWith("One file: sample.jnx"));
    // The product fields are checked as for a calibrated map: a Z order of 101 is flashed.
    d.dialog.leZOrder->setFocus();
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus("101");
    QTest::mouseClick(d.dialog.bStart, Qt::LeftButton);
    QCOMPARE(d.dialog.Flashed(), static_cast<QWidget*>(d.dialog.leZOrder));
    QTRY_VERIFY_WITH_TIMEOUT(d.dialog.Flashed() == nullptr, 2000);
    QVERIFY(!std::filesystem::exists(dir.Path("sample.jnx")));
    d.dialog.leZOrder->setFocus();
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus("30");
    QTest::mouseClick(d.dialog.bStart, Qt::LeftButton);
    QVERIFY2(d.errors.isEmpty(), qPrintable(d.errors.join("; ")));
    QVERIFY2(d.dialog.lInfo->text().startsWith("sample.jnx saved in"), qPrintable(d.dialog.lInfo->text()));
    const TJnxMap map = LoadJnx(dir.Path("sample.jnx"));
    QCOMPARE(map.LevelCount, 2);
    QCOMPARE(map.Levels[0].Scale, std::uint32_t(scale(0)));
    // Built again: asked first; "no" leaves the map.
    const auto stamp = std::filesystem::last_write_time(dir.Path("sample.jnx"));
    QTest::mouseClick(d.dialog.bStart, Qt::LeftButton);
    QCOMPARE(d.questions.size(), 1);
    QVERIFY(d.questions[0].startsWith("sample.jnx exists"));
    QCOMPARE(std::filesystem::last_write_time(dir.Path("sample.jnx")), stamp);
  }

  // Cancel on the progress bar stops a long build: no file, no part of one.
  void ACancelledRasterBuildLeavesNothing() {
    if (!HaveTool("gdal_translate")) QSKIP("gdal_translate is not installed");
    TDialog d;
    TTempDir dir;
    QCOMPARE(RunCommand(Cli("export " + SampleFile() + " 2 " + dir.Path("sample.tif"))).Status, 0);
    // Sixteen times the size each way: a build of many seconds.
    QCOMPARE(RunCommand("gdal_translate -q -of VRT -outsize 1600% 1600% " + dir.Path("sample.tif") + " " +
                        dir.Path("big.vrt"))
                 .Status,
             0);
    PickSource(d, dir.Path("big.vrt"));
    QVERIFY(d.dialog.RasterMode());
    QTimer::singleShot(300, d.dialog.workBar, [&d] {
      QVERIFY(d.dialog.workBar->Running());
      QVERIFY(!d.dialog.bStart->isEnabled());
      QTest::mouseClick(d.dialog.workBar->bCancelWork, Qt::LeftButton);
    });
    QTest::mouseClick(d.dialog.bStart, Qt::LeftButton);
    QVERIFY2(d.dialog.lInfo->text().contains("cancelled"), qPrintable(d.dialog.lInfo->text()));
    QVERIFY(d.errors.isEmpty());
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = e.path().filename().string();
      QVERIFY2(name == "sample.tif" || name == "big.vrt" || name == "sample.tif.aux.xml", name.c_str());
    }
    QVERIFY(d.dialog.bStart->isEnabled());
  }
};

QTEST_MAIN(TCreationTest)
#include "creation_test.moc"
