// SPDX-License-Identifier: GPL-3.0-or-later
// The window under a decimal-comma locale (ctest runs it with LC_ALL=de_DE.UTF-8): every file
// it writes is the same as under any other locale.
#include <QAction>
#include <QLocale>
#include <QMenuBar>
#include <QToolButton>
#include <QtTest>
#include <clocale>
#include <filesystem>
#include <regex>

#include "GuiSupport.h"
#include "LibTar/TarArchive.h"
#include "TestSupport.h"
#include "base/Paths.h"
#include "gui/app/TApplication.h"
#include "gui/mappage/TMapPage.h"

using namespace brelo;
using namespace brelo::test;

class TLocaleTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    InstallModalWatchdog();
    if (QLocale::system().decimalPoint() != ",")
      QSKIP("no decimal-comma locale in the environment: scripts/install-deps.sh --test makes de_DE.UTF-8");
  }

  void FilesAreWrittenWithDecimalPoints() {
    QCOMPARE(std::string(std::localeconv()->decimal_point), std::string("."));
    TTempDir dir;
    std::filesystem::copy_file(SampleFile(), dir.Path("tatry.jnx"));
    {
      TTestWindow w(true, 0);
      w.Window->OpenMap(dir.Path("tatry.jnx"));
      // The tile-set export: the calibration's numbers.
      ChooseOnMenuBar(w.Find<QMenuBar>("mmMap"), w.Find<QAction>("miSaveTAR"));
      QVERIFY2(w.Errors.isEmpty(), qPrintable(w.Errors.join("; ")));
      TTarArchive tar(dir.Path("tatry.tar"));
      TTarDirRec rec;
      std::string map;
      while (map.empty() && tar.NextEntry(rec))
        if (ExtensionOf(rec.EntryName) == ".map") tar.ExtractToString(map);
      QVERIFY(!map.empty());
      const std::regex point(R"(\r\nMMPLL,1, *-?[0-9]+\.[0-9]+, *-?[0-9]+\.[0-9]+\r\n)");
      QVERIFY2(std::regex_search(map, point), map.c_str());
      // The settings: the scale halved by its button.
      QTest::mouseClick(w.Find<QToolButton>("sbScaleOut"), Qt::LeftButton);
      QVERIFY(w.Window->WriteSettingsFile());
      const std::string ini = ReadText(w.Settings.Path("brelo.ini"));
      QVERIFY2(ini.find("\r\nScale=0.5\r\n") != std::string::npos, ini.c_str());
      // The folder's outline file.
      const std::string outline = ReadText(dir.Path("Maps.gpx"));
      QVERIFY(std::regex_search(outline, std::regex(R"(<trkpt lat="-?[0-9]+\.[0-9]{6}" lon="-?[0-9]+\.[0-9]{6}"/>)")));
    }
  }
};

int main(int argc, char** argv) {
  // The program's own application object, which keeps the numbers of the C library at ".".
  brelo::TApplication app(argc, argv);
  TLocaleTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "locale_test.moc"
