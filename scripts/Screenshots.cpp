// Renders every form of the package offscreen, one PNG per form and page,
// each image exactly the form's client area:
//   tidewell-screenshots DIR
// The forms show the bundled example's toolchain folders.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dataexport/UfDbToolDlg.h"
#include "forms/FormsHost.h"
#include "dialogs/UfAbout.h"
#include "host/IdeWindow.h"
#include "resources/UfDotNetResForm.h"
#include "resources/WebEngineBrowser.h"
#include "dialogs/UfFileDlg.h"
#include "dialogs/UfPathDlg.h"
#include "platform/Files.h"
#include "platform/WinPath.h"
#include "toolsapi/ToolsAPI.h"
#include "builddialog/UfCompactDevForm.h"

namespace fs = std::filesystem;

namespace {

// Messages have nobody to read them here.
class Silent : public platform::MessageService {
 public:
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void ShowError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
  bool AskYesNo(const std::string&) override { return false; }
};

// The bundled example as the IDE's active project, its file in the editor.
class ExampleProject : public ToolsAPI::IOTAProject,
                       public ToolsAPI::IOTAEditor,
                       public std::enable_shared_from_this<ExampleProject> {
 public:
  explicit ExampleProject(std::string file) : file_(std::move(file)) {}
  void* QueryInterface(const ToolsAPI::TGUID& iid) override {
    if (iid == IOTAProject::IID || iid == IOTAModule::IID) return static_cast<IOTAProject*>(this);
    return iid == IOTAEditor::IID ? static_cast<IOTAEditor*>(this) : nullptr;
  }
  std::string GetFileName() override { return file_; }
  int GetModuleFileCount() override { return 1; }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetModuleFileEditor(int) override { return GetCurrentEditor(); }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetCurrentEditor() override {
    return std::shared_ptr<ToolsAPI::IOTAEditor>(shared_from_this(), static_cast<IOTAEditor*>(this));
  }

 private:
  std::string file_;
};

bool Save(QWidget& form, const QString& file) {
  form.show();
  QApplication::processEvents();
  const QPixmap picture = form.grab();
  if (!picture.save(file)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(file), picture.width(), picture.height());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tidewell-screenshots DIR PROJECT.dpr\n");
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  resources::WebEngineBrowser::TurnSandboxOff();  // a tool, run as root in CI
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
  Silent messages;
  bool ok = true;

  builddialog::DialogServices services;
  services.Messages = &messages;
  builddialog::TfCompactDevForm dialog(services);
  dialog.Model().OpenProject({std::make_shared<ExampleProject>(platform::ToWindowsPath(argv[2])), nullptr});
  for (const char* line :
       {"Tidewell!! V2.0 Test by the TidewellKit developers", "", "...Searching Project Source Code.... ",
        "--> AutoFix ...\"WinForm.pas\".......OK !!", " ", "WinForm.pas(12) Error: Undeclared identifier: 'Broken'"})
    dialog.Model().MessageList.Add(line);
  const char* pages[] = {"TfCompactDevForm-TargetProject.png", "TfCompactDevForm-DeviceEmulator.png",
                         "TfCompactDevForm-Messages.png"};
  dialog.show();  // the show step loads the project's options
  for (int page = 0; page < 3; ++page) {
    dialog.Model().PageControl1 = page;
    dialog.Refresh();
    ok = Save(dialog, dir + pages[page]) && ok;
  }
  dialog.hide();

  // The data export dialog over the demo data source, its table open, then
  // exported so that the code pane shows the generated source.
  {
    const std::string scratch = (fs::temp_directory_path() / "tidewell-screenshot.xml").string();
    dataexport::TfDbToolDlg exporter(messages, [&] { return std::optional<std::string>(scratch); });
    auto choose = [](dataexport::ListBoxState& list, const char* item) {
      for (size_t i = 0; i < list.Items.size(); ++i)
        if (list.Items[i] == item) list.ItemIndex = static_cast<int>(i);
    };
    dataexport::DbToolModel& model = exporter.Model();
    forms::Handle(messages, [&] {
      choose(model.AliasList, "DEMO");
      model.ShowTablesOfSelectedAlias();
      choose(model.TableList, "parts");
      model.QuerySelectedTable();
      model.OpenQuery();
      model.cbEncode.ItemIndex = 4;
    });
    exporter.Refresh();
    ok = Save(exporter, dir + "TfDbToolDlg-DataView.png") && ok;
    forms::Handle(messages, [&] { model.ExportSelectedTable(); });
    model.LowerPage = 1;
    exporter.Refresh();
    ok = Save(exporter, dir + "TfDbToolDlg-SourceCode.png") && ok;
    fs::remove(scratch);
  }

  // The resources browser, no page opened yet, and the about box.
  {
    resources::TfDotNetResForm browser(messages, std::make_unique<resources::WebEngineBrowser>());
    browser.Model().cbAssemblyList.Items = {"System.Data.DataTable", "System.Windows.Forms.DataGrid"};
    browser.Refresh();
    ok = Save(browser, dir + "TfDotNetResForm.png") && ok;
    dialogs::TfAbout about([](const std::string&) {});
    ok = Save(about, dir + "TfAbout.png") && ok;
  }

  // The stand-in IDE with the package loaded, its menu open.
  {
    host::IdeWindow ide(messages);
    ide.LoadPackages({(QCoreApplication::applicationDirPath() + "/libTidewellKit.so").toStdString()}, nullptr);
    ide.OpenProject(argv[2]);
    ide.resize(1000, 640);
    ide.show();
    QApplication::processEvents();
    QAction* entry = ide.Menus()->actions().back();
    QMenu* menu = entry->menu();
    const QPoint under = ide.Menus()->mapTo(&ide, ide.Menus()->actionGeometry(entry).bottomLeft());
    menu->popup(ide.mapToGlobal(under));
    QApplication::processEvents();
    QPixmap picture = ide.grab();
    QPainter painter(&picture);
    painter.drawPixmap(under, menu->grab());
    painter.end();
    menu->hide();
    const QString file = dir + "tidewell-ide.png";
    ok = picture.save(file) && ok;
    std::printf("%s %dx%d\n", qPrintable(file), picture.width(), picture.height());
    // After a jump to a line of the unit: its tab in front, the line at the
    // top, the cursor on it and the line marked.
    if (ide.Files.size() > 1) {
      ide.Files[1]->SetTopLeft(30, 1);
      ide.Files[1]->MoveCursorToView();
      QApplication::processEvents();
      const QString jump = dir + "tidewell-ide-jump.png";
      QPixmap shown = ide.grab();
      ok = shown.save(jump) && ok;
      std::printf("%s %dx%d\n", qPrintable(jump), shown.width(), shown.height());
    }
    ide.UnloadPackages();
  }

  dialogs::TfPathDlg path(messages);
  path.Model.DirectoryListBox1.ChangeDirectory("C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf");
  path.Folders.Refresh();
  ok = Save(path, dir + "TfPathDlg.png") && ok;

  dialogs::TfFileDlg file(messages);
  file.Model.FileMask = "*.dll";
  file.Model.DirectoryListBox1.ChangeDirectory("C:\\Program Files\\Borland\\BDS\\4.0\\Lib\\cf\\CF1X_Assembly");
  file.Folders.Refresh();
  ok = Save(file, dir + "TfFileDlg.png") && ok;
  return ok ? 0 : 1;
}
