// Typing into the build dialog while a catalogue holds 20,000 assemblies,
// against typing the same keys into a lone edit. Every key refreshes the
// dialog; the catalogue lists must not be rebuilt for it.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "builddialog/UfCompactDevForm.h"
#include "platform/MessageService.h"

namespace {

class Silent : public platform::MessageService {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
};

constexpr int Entries = 20000;
const char* const Typed = "C:\\Emulator\\DeviceEmulator.exe";

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double TypeInto(QLineEdit* edit) {
  edit->setFocus();
  edit->clear();
  QApplication::processEvents();
  auto start = std::chrono::steady_clock::now();
  QTest::keyClicks(edit, Typed);
  QApplication::processEvents();
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  Silent messages;
  builddialog::DialogServices services;
  services.Messages = &messages;
  builddialog::TfCompactDevForm dialog(services);
  std::vector<std::string> names;
  for (int i = 0; i < Entries; ++i) names.push_back("Vendor" + std::to_string(i) + ".Assembly.dll");
  dialog.Model().MS_Assmbly_List.Fill(names, true);
  dialog.Refresh();
  dialog.show();  // no project to enter: the show step reports it, silently here
  QApplication::processEvents();

  QLineEdit lone;
  lone.show();
  double plain = 1e9, inDialog = 1e9;
  for (int round = 0; round < 3; ++round) {
    plain = std::min(plain, TypeInto(&lone));
    inDialog = std::min(inDialog, TypeInto(dialog.Ed_Emulator_App));
  }
  const double keys = static_cast<double>(std::string(Typed).size());
  std::printf("lone edit: %.3f ms a key\n", 1000 * plain / keys);
  std::printf("build dialog with %d catalogue entries: %.3f ms a key\n", Entries, 1000 * inDialog / keys);
  std::printf("ratio=%.2f\n", inDialog / plain);
  return 0;
}
