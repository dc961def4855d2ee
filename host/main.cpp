// tidewell-ide: the stand-in IDE.
//   tidewell-ide [--package LIBRARY]... [PROJECT.dpr]
// Without --package it loads the TidewellKit package built beside it.
#include <QApplication>
#include <QPainter>
#include <QSplashScreen>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/FormsHost.h"
#include "host/IdeWindow.h"
#include "resources/WebEngineBrowser.h"

int main(int argc, char** argv) {
  resources::WebEngineBrowser::PrepareEngine();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  QApplication::setApplicationName("tidewell-ide");
  std::vector<std::string> packages;
  std::string project;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--package" && i + 1 < argc) packages.push_back(argv[++i]);
    else if (arg == "--help" || arg == "-h") {
      std::printf("Usage: tidewell-ide [--package LIBRARY]... [PROJECT.dpr]\n");
      return 0;
    } else project = arg;
  }
  if (packages.empty())
    packages.push_back((std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libTidewellKit.so").string());

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
