#pragma once
// tidewell-ide: a small IDE that implements the IDE's tools interface for
// real, so that the package runs as it runs in an IDE. A main window with
// the usual menus, a standard toolbar and a main image list; a project open
// in source-editor tabs; packages loaded at start-up and unloaded at exit.
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "host/IdeProject.h"
#include "platform/MessageService.h"
#include "platform/SharedLibrary.h"
#include "forms/HostTypes.h"

class QDockWidget;
class QFileSystemWatcher;
class QListWidget;
class QSplashScreen;
class QTabWidget;

namespace host {

class IdeWindow : public QMainWindow {
 public:
  explicit IdeWindow(platform::MessageService& messages);
  ~IdeWindow() override;  // unloads every package

  // Start-up: loads the packages (Initialize, then Register), with the splash
  // screen's services offered while `splash` is set. A package that cannot
  // be loaded is reported and the IDE goes on.
  void LoadPackages(const std::vector<std::string>& libraries, QSplashScreen* splash);
  void UnloadPackages();
  // Opens a project (a Windows or a Linux path); a missing or unreadable
  // file is a message.
  bool OpenProject(const std::string& path);
  // File > Save (the file in front) and Save All; a failed write is an
  // error box and the edits stay.
  bool SaveShownFile();
  bool SaveAll();
  // A file open in an editor changed on disk (a build patched it): read it
  // again, asking first when the editor holds edits not saved.
  void FileChangedOnDisk(const QString& hostPath);
  // True while a command runs its long work (a build) inside the IDE's
  // message pump.
  bool Busy() const { return busy_ > 0; }

  QMenuBar* Menus() const;
  QToolBar* StandardToolBar;
  QMenu* ToolsMenu;
  QTabWidget* Tabs;
  QListWidget* MessageView;  // the IDE's message view, in MessageDock
  QDockWidget* MessageDock;
  ToolsAPI::TCustomImageList ImageList;
  std::vector<std::string> LoadProblems;
  std::shared_ptr<IdeProject> Project;
  std::vector<std::shared_ptr<SourceFile>> Files;  // by tab
  std::shared_ptr<SourceFile> ShownFile() const;

  struct Package;  // one loaded package

 protected:
  // Closing asks about unsaved edits, ends a running build first (and every
  // tool it started), closes every form of the packages and ends the
  // application.
  void closeEvent(QCloseEvent* event) override;

 private:
  class Services;
  class Splash;
  void AddToolsCommands(Package& package);
  void OpenProjectDialog();
  bool KeepOrSaveEdits();       // false: a save failed, stay open
  bool Save(SourceFile& file);  // in the error report; false when it failed
  void CloseFiles();

  QFileSystemWatcher* watcher_;
  static IdeWindow* pumping_;  // the IDE whose message pump runs
  int busy_ = 0;
  bool closing_ = false;

  platform::MessageService& messages_;
  ToolsAPI::TMainMenu mainMenu_;
  ToolsAPI::TToolBar standardToolBar_;
  std::shared_ptr<Services> services_;
  bool running_ = false;         // a Tools command runs
  bool buildCancelled_ = false;  // the user cancelled the offer to save edits before a build
  int messagesAdded_ = 0;        // lines a Tools command added to the Messages view
  // The Tools commands: the build entries only with a project open, none
  // while a command runs.
  void UpdateCommands();
  // "tidewell-ide - PROJECT", with " *" while a file has edits not saved.
  void UpdateTitle();
  std::vector<std::unique_ptr<Package>> packages_;
  int ownImages_ = 0;
};

}  // namespace host
