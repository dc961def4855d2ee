// The form and IDE tests run offscreen: no display is needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "resources/WebEngineBrowser.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  resources::WebEngineBrowser::TurnSandboxOff();  // the tests run as root in CI
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
