// The map creation dialog through its widgets: reading a source, the tile count, the order of
// the checks with the flashed field, a build and a failed one.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QtTest>

#include <deque>

#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "GuiSupport.h"
#include "TestSupport.h"
#include "gui/common/Settings.h"
#include "jnx/JnxMap.h"
#include "jnx/ScaleTable.h"
#include "gui/uMapCreation/TfMapCreation.h"

using namespace brelo;
using namespace brelo::test;

namespace {

struct TDialog {
  TTempDir settingsDir;
  TSettings settings;
  TfOpenSaveDialog files{QString::fromStdString(settingsDir.Path()), QString::fromStdString(settingsDir.Path())};
  TfMapCreation dialog{files, settings};
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
    dialog.Memo = [this](const std::vector<std::string>& lines) { memo = lines; };
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
};

QTEST_MAIN(TCreationTest)
#include "creation_test.moc"
