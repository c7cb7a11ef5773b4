// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>

namespace brelo {

namespace {

// Options the application object takes for itself, with a value.
const char* const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "qwindowicon",  "qwindowtitle",
    "style",    "stylesheet",         "session",       "display", "geometry",        "qmljsdebugger"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

bool TakesValue(const std::string& option) {
  const std::string name = option.substr(option.find_first_not_of('-'));
  for (const char* q : kQtOptionsWithValue)
    if (name == q) return true;
  return false;
}

}  // namespace

std::string VersionLine() { return std::string("brelo ") + BRELO_VERSION; }

TCommandLine ParseCommandLine(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "brelo views, edits and converts raster maps in the JNX format: the tiled JPEG "
      "maps that handheld GPS receivers show as an imagery layer.");
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument("FILE.jnx",
                               "The map to open; the other JNX files of its folder are listed beside it. "
                               "Further files are not opened.",
                               "[FILE.jnx]");
  for (const char* q : kQtOptionsWithValue) {
    QCommandLineOption o(q, "", "value");
    o.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(o);
  }
  for (const char* q : kQtFlags) {
    QCommandLineOption o(q);
    o.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(o);
  }
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  TCommandLine line;
  // The parser names the program after the application object, which does not exist yet.
  const std::string usage = parser.helpText().replace("<executable_name>", "brelo").toStdString();
  if (!parser.parse(arguments)) {
    line.Action = TCommandLine::TAction::Error;
    line.Text = "brelo: " + parser.errorText().toStdString() + "\n\n" + usage;
    return line;
  }
  if (parser.isSet(help) || parser.isSet("help-all")) {
    line.Action = TCommandLine::TAction::Help;
    line.Text = usage;
    return line;
  }
  if (parser.isSet(version)) {
    line.Action = TCommandLine::TAction::Version;
    line.Text = VersionLine() + "\n";
    return line;
  }
  // The files by their own bytes: every argument that is not an option or an option's value.
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      if (a.find('=') == std::string::npos && TakesValue(a)) ++i;
    } else {
      line.Files.push_back(a);
    }
  }
  return line;
}

}  // namespace brelo
