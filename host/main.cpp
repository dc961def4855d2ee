// tidewell-ide: the stand-in IDE.
//   tidewell-ide [--package LIBRARY]... [--list-menus] [PROJECT.dpr]
// Without --package it loads the TidewellKit package from the private library
// folder of an installed tree (its place relative to the program is compiled
// in), or from beside the program in the build folder.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMenuBar>
#include <QPainter>
#include <QSplashScreen>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/FormsHost.h"
#include "host/IdeWindow.h"
#include "platform/Process.h"
#include "platform/Version.h"
#include "resources/WebEngineBrowser.h"

namespace {

const char* const PackageName = "libTidewellKit.so";

// The package of this installation, found from the program's own folder.
std::string DefaultPackage() {
  const QString programs = QCoreApplication::applicationDirPath();
  const QString installed = programs + "/" + TIDEWELL_PACKAGE_FOLDER + "/" + PackageName;
  return (QFileInfo::exists(installed) ? installed : programs + "/" + PackageName).toStdString();
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// A path given on the command line as its bytes: a Linux file name need not
// be valid UTF-8, and a QString would have replaced what is not. `parsed` is
// the argument as the parser saw it (decoded from UTF-8).
std::string ArgumentBytes(int argc, char** argv, const QString& parsed) {
  for (int i = argc - 1; i > 0; --i)
    if (QString::fromUtf8(argv[i]) == parsed) return argv[i];
  return parsed.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromUtf8(argv[i]);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "The stand-in IDE of TidewellKit: opens a Delphi for .NET project with the "
      "TidewellKit package loaded.");
  QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  QCommandLineOption version("version", "Show the version and exit.");
  QCommandLineOption package("package", "Load LIBRARY instead of the TidewellKit package (repeatable).", "LIBRARY");
  QCommandLineOption listMenus("list-menus", "Load the packages, print the menu bar's menus one a line, and exit.");
  QCommandLineOption noSandbox("no-sandbox",
                               "Run the resources browser without Chromium's sandbox, which cannot start as root "
                               "(in a container, say). Use only where the sandbox cannot run.");
  parser.addOptions({help, version, package, listMenus, noSandbox});
  parser.addPositionalArgument("PROJECT.dpr", "The project to open (a Linux or a Windows path).", "[PROJECT.dpr]");
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "tidewell-ide: %s\n\n%s", qPrintable(parser.errorText()), qPrintable(parser.helpText()));
    return 2;
  }
  if (parser.isSet(help)) {
    std::printf("%s", qPrintable(parser.helpText()));
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("tidewell-ide %s\n", platform::VersionText());
    return 0;
  }
  if (parser.positionalArguments().size() > 1) {
    std::fprintf(stderr, "tidewell-ide: one project at most\n\n%s", qPrintable(parser.helpText()));
    return 2;
  }
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "tidewell-ide: no display to open a window on: set DISPLAY or WAYLAND_DISPLAY "
                 "(or QT_QPA_PLATFORM=offscreen)\n");
    return 2;
  }
  std::vector<std::string> packages;
  for (const QString& library : parser.values(package)) packages.push_back(ArgumentBytes(argc, argv, library));
  const std::string project = parser.positionalArguments().isEmpty()
                                  ? std::string()
                                  : ArgumentBytes(argc, argv, parser.positionalArguments().first());

  if (parser.isSet(noSandbox)) resources::WebEngineBrowser::TurnSandboxOff();
  else if (platform::RunsAsSuperUser())
    std::fprintf(stderr,
                 "tidewell-ide: running as root: the resources browser's engine will not start without "
                 "--no-sandbox\n");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  QApplication::setApplicationName("tidewell-ide");
  QApplication::setApplicationVersion(platform::VersionText());
  if (packages.empty()) packages.push_back(DefaultPackage());

  if (parser.isSet(listMenus)) {
    forms::QtMessages messages;
    host::IdeWindow ide(messages);
    ide.LoadPackages(packages, nullptr);
    for (QAction* menu : ide.Menus()->actions()) std::printf("%s\n", qPrintable(menu->text()));
    return ide.LoadProblems.empty() ? 0 : 1;
  }

  QPixmap picture(520, 260);
  picture.fill(QColor(20, 40, 110));
  {
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    painter.setFont(QFont("DejaVu Sans", 20, QFont::Bold));
    painter.drawText(20, 40, "tidewell-ide");
  }
  QSplashScreen splash(picture);
  splash.show();
  forms::QtMessages messages;
  host::IdeWindow ide(messages);
  ide.LoadPackages(packages, &splash);
  ide.show();
  splash.finish(&ide);
  if (!project.empty()) ide.OpenProject(project);
  return app.exec();
}
