// The data export dialog exporting one table as a user does: the alias and
// the table chosen, "Open", then "Start Export" into a named file. Run by
// bench_export, which measures its time and peak memory.
//   bench_dialog_export ALIAS TABLE FILE
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>
#include <optional>
#include <string>

#include "dataexport/UfDbToolDlg.h"
#include "platform/MessageService.h"

namespace {

class ErrorsToStandardError : public platform::MessageService {
 public:
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void ShowError(const std::string& text) override {
    std::fprintf(stderr, "error: %s\n", text.c_str());
    failed = true;
  }
  bool AskYesNo(const std::string&) override { return false; }
  bool failed = false;
};

bool Choose(QListWidget* list, const char* name) {
  const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  list->setCurrentItem(found.front());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_dialog_export ALIAS TABLE FILE\n");
    return 2;
  }
  QApplication app(argc, argv);
  ErrorsToStandardError messages;
  const std::string file = argv[3];
  dataexport::TfDbToolDlg dialog(messages, [&file] { return std::optional<std::string>(file); });
  dialog.show();
  if (!Choose(dialog.AliasList, argv[1]) || !Choose(dialog.TableList, argv[2])) {
    std::fprintf(stderr, "no alias %s with a table %s\n", argv[1], argv[2]);
    return 1;
  }
  dialog.BitBtn3->click();
  dialog.BitBtn5->click();
  return messages.failed ? 1 : 0;
}
