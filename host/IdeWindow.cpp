#include "host/IdeWindow.h"

#include <QAction>
#include <QRegularExpression>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QListWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QMenuBar>
#include <QPainter>
#include <QSplashScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

#include "forms/FormsHost.h"
#include "pipeline/SourceAdaptation.h"
#include "runner/JumpToSource.h"
#include "runner/MessageList.h"
#include "platform/Files.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/PathText.h"
#include "platform/Process.h"
#include "platform/Version.h"
#include "platform/WinPath.h"

namespace host {

namespace {
// A file's host path as the file system watcher names it: the host's file
// names are UTF-8 bytes, whatever the locale says.
QString HostPathText(const std::string& path) { return QString::fromUtf8(platform::ToHostPath(path)); }
}  // namespace

using namespace ToolsAPI;

// The IDE's services object: module services and the IDE's menus, images
// and toolbars.
class IdeWindow::Services : public IOTAModuleServices, public INTAServices, public IOTAMessageServices {
 public:
  explicit Services(IdeWindow& ide) : ide_(ide) {}
  void* QueryInterface(const TGUID& iid) override {
    if (iid == IOTAModuleServices::IID) return static_cast<IOTAModuleServices*>(this);
    if (iid == INTAServices::IID) return static_cast<INTAServices*>(this);
    if (iid == IOTAMessageServices::IID) return static_cast<IOTAMessageServices*>(this);
    return nullptr;
  }
  void ClearAllMessages() override { ide_.MessageView->clear(); }
  void AddTitleMessage(const std::string& text) override {
    ++ide_.messagesAdded_;
    ide_.MessageView->addItem(forms::ToQt(text));
    ide_.MessageView->scrollToBottom();
    ide_.MessageDock->show();
    ide_.statusBar()->showMessage(forms::ToQt(text), 10000);  // the last line says how it ended
  }
  std::shared_ptr<IOTAModule> CurrentModule() override {
    std::shared_ptr<SourceFile> shown = ide_.ShownFile();
    if (!shown) return nullptr;
    if (ide_.Project && shown == ide_.Project->ProjectFile()) return ide_.Project;
    return shown;
  }
  std::shared_ptr<IOTAProject> GetActiveProject() override { return ide_.Project; }
  bool SaveAll() override {
    ide_.buildCancelled_ = !ide_.KeepOrSaveEdits();
    return !ide_.buildCancelled_;
  }
  TCustomImageList* GetImageList() override { return &ide_.ImageList; }
  TMainMenu* GetMainMenu() override { return &ide_.mainMenu_; }
  TToolBar* GetToolBar(const std::string& name) override {
    return name == "StandardToolBar" ? &ide_.standardToolBar_ : nullptr;
  }

 private:
  IdeWindow& ide_;
};

// The splash screen's services, offered only while it shows.
class IdeWindow::Splash : public IOTASplashScreenServices {
 public:
  explicit Splash(QSplashScreen* screen) : screen_(screen) {}
  void* QueryInterface(const TGUID& iid) override {
    return iid == IOTASplashScreenServices::IID ? static_cast<IOTASplashScreenServices*>(this) : nullptr;
  }
  void StatusMessage(const std::string& text) override {
    screen_->showMessage(forms::ToQt(text), Qt::AlignBottom | Qt::AlignLeft, Qt::white);
  }
  void AddPluginBitmap(const std::string& caption, void* bitmap, bool, const std::string&,
                       const std::string&) override {
    // The picture and its caption join the others on the splash screen.
    QPixmap picture = screen_->pixmap();
    QPainter painter(&picture);
    const int y = 60 + 40 * plugins_++;
    if (bitmap) painter.drawPixmap(20, y, *static_cast<QPixmap*>(bitmap));
    painter.setPen(Qt::white);
    painter.drawText(60, y + 20, forms::ToQt(caption));
    painter.end();
    screen_->setPixmap(picture);
  }

 private:
  QSplashScreen* screen_;
  int plugins_ = 0;
};

struct IdeWindow::Package {
  std::string Path;
  platform::SharedLibrary Library;
  std::shared_ptr<IOTAWizard> Wizard;
  int ImagesBefore = 0;
  QList<QAction*> ToolsActions;
};

IdeWindow* IdeWindow::pumping_ = nullptr;

IdeWindow::IdeWindow(platform::MessageService& messages)
    : messages_(messages), mainMenu_(new QMenuBar), standardToolBar_(nullptr) {
  setWindowTitle("tidewell-ide");
  resize(1000, 700);
  setMenuBar(mainMenu_.Bar);
  QMenu* file = mainMenu_.Bar->addMenu("&File");
  QAction* open = file->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), "&Open Project...");
  open->setShortcut(QKeySequence::Open);
  connect(open, &QAction::triggered, this, [this] { OpenProjectDialog(); });
  QAction* save = file->addAction("&Save");
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, [this] { SaveShownFile(); });
  QAction* saveAll = file->addAction("Save A&ll");
  saveAll->setShortcut(QKeySequence("Ctrl+Shift+S"));
  connect(saveAll, &QAction::triggered, this, [this] { SaveAll(); });
  QAction* closeProject = file->addAction("&Close Project");
  connect(closeProject, &QAction::triggered, this, [this] {
    if (!KeepOrSaveEdits()) return;
    CloseFiles();
    Project.reset();
    UpdateCommands();
    UpdateTitle();
  });
  file->addSeparator();
  QAction* exit = file->addAction("E&xit");
  exit->setShortcut(QKeySequence("Alt+F4"));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  // The IDE's other menus, shown once something is in them (a package may
  // add to them); Tools holds the packages' exported commands.
  for (const char* menu : {"&Edit", "&Search", "&View", "&Project", "&Run", "&Component"}) {
    QMenu* empty = mainMenu_.Bar->addMenu(menu);
    empty->menuAction()->setVisible(false);
    connect(empty, &QMenu::aboutToShow, empty, [] {});
  }
  ToolsMenu = mainMenu_.Bar->addMenu("&Tools");
  ToolsMenu->menuAction()->setVisible(false);
  QMenu* window = mainMenu_.Bar->addMenu("&Window");
  window->menuAction()->setVisible(false);
  QMenu* help = mainMenu_.Bar->addMenu("&Help");
  connect(help->addAction("&About tidewell-ide"), &QAction::triggered, this, [this] {
    QMessageBox::about(this, "About tidewell-ide",
                       QString("tidewell-ide %1\n\nA small IDE that runs IDE packages such as TidewellKit.")
                           .arg(platform::VersionText()));
  });

  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) { FileChangedOnDisk(path); });
  // Long work (a build) lets the IDE go on: the message pump runs its event
  // loop, and knows that work is under way. Packages reach it through the
  // IDE interface.
  pumping_ = this;
  ApplicationProcessMessages = [] {
    if (!pumping_) return;
    ++pumping_->busy_;
    QCoreApplication::processEvents();
    --pumping_->busy_;
  };
  platform::SetMessagePump([] { ApplicationProcessMessages(); });

  StandardToolBar = addToolBar("StandardToolBar");
  StandardToolBar->setObjectName("StandardToolBar");
  standardToolBar_.Bar = StandardToolBar;
  StandardToolBar->addAction(open);
  // The IDE's own images come first in its main image list.
  for (QStyle::StandardPixmap image : {QStyle::SP_FileIcon, QStyle::SP_DialogOpenButton, QStyle::SP_DialogSaveButton,
                                       QStyle::SP_MediaPlay, QStyle::SP_BrowserReload})
    ImageList.AddImages({style()->standardIcon(image)});
  ownImages_ = ImageList.Count();
  open->setIcon(ImageList.Image(1));

  Tabs = new QTabWidget;
  setCentralWidget(Tabs);
  // The message view: what tools print, under the editor; shown when used.
  MessageView = new QListWidget;
  MessageView->setObjectName("MessageView");
  MessageView->setFont(QFont("DejaVu Sans Mono", 9));
  MessageDock = new QDockWidget("Messages", this);
  MessageDock->setObjectName("MessageDock");
  MessageDock->setWidget(MessageView);
  // A double click on a compiler message jumps to its line, as in the build
  // dialog's list.
  connect(MessageView, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    runner::MessageLines lines;
    for (int i = 0; i < MessageView->count(); ++i) lines.Add(forms::FromQt(MessageView->item(i)->text()));
    lines.SetItemIndex(MessageView->row(item));
    forms::Handle(messages_, [&] {
      runner::MessageListDblClick(lines, std::shared_ptr<IOTAModuleServices>(services_, services_.get()), messages_);
    });
  });
  addDockWidget(Qt::BottomDockWidgetArea, MessageDock);
  MessageDock->hide();
  services_ = std::make_shared<Services>(*this);
  BorlandIDEServices = std::shared_ptr<IInterface>(services_, static_cast<IOTAModuleServices*>(services_.get()));
  statusBar()->showMessage("Ready");
}

IdeWindow::~IdeWindow() {
  platform::SetMessagePump(nullptr);
  ApplicationProcessMessages = nullptr;
  pumping_ = nullptr;
  UnloadPackages();
  BorlandIDEServices.reset();
  RegisterPackageWizardHandler = nullptr;
}

QMenuBar* IdeWindow::Menus() const { return mainMenu_.Bar; }

std::shared_ptr<SourceFile> IdeWindow::ShownFile() const {
  const int tab = Tabs->currentIndex();
  return tab >= 0 && tab < static_cast<int>(Files.size()) ? Files[static_cast<size_t>(tab)] : nullptr;
}

void IdeWindow::LoadPackages(const std::vector<std::string>& libraries, QSplashScreen* splash) {
  std::shared_ptr<Splash> splashServices = splash ? std::make_shared<Splash>(splash) : nullptr;
  SplashScreenServices = splashServices;
  for (const std::string& path : libraries) {
    auto package = std::make_unique<Package>();
    package->Path = path;
    if (splashServices) splashServices->StatusMessage("Loading " + platform::ExtractFileName(path) + " ...");
    auto problem = [&](const std::string& why) {
      LoadProblems.push_back("Package " + path + " was not loaded: " + why);
      std::fprintf(stderr, "tidewell-ide: %s\n", LoadProblems.back().c_str());
    };
    if (!package->Library.Load(path)) {
      problem(package->Library.Error());
      continue;
    }
    auto initialize = reinterpret_cast<PackageProc>(package->Library.Symbol("Initialize"));
    auto finalize = reinterpret_cast<PackageProc>(package->Library.Symbol("Finalize"));
    auto info = reinterpret_cast<PackageInfoProc>(package->Library.Symbol("GetPackageInfoTable"));
    auto registerProc = reinterpret_cast<PackageProc>(package->Library.Symbol("Register"));
    if (!initialize || !finalize || !info || !registerProc) {
      problem("it lacks one of Initialize, Finalize, GetPackageInfoTable and Register");
      continue;
    }
    package->ImagesBefore = ImageList.Count();
    initialize();
    // The wizard the package's Register hands over is that package's; a
    // registration at any other time has no package to go to.
    RegisterPackageWizardHandler = [&package](std::shared_ptr<IOTAWizard> wizard) {
      package->Wizard = std::move(wizard);
    };
    forms::Handle(messages_, [&] { registerProc(); });
    RegisterPackageWizardHandler = nullptr;
    AddToolsCommands(*package);
    packages_.push_back(std::move(package));
  }
  SplashScreenServices.reset();
  statusBar()->showMessage(LoadProblems.empty() ? "Ready" : QString::fromStdString(LoadProblems.back()));
}

void IdeWindow::AddToolsCommands(Package& package) {
  auto commands = Supports<IOTAExportedCommands>(package.Wizard);
  if (!commands) return;
  for (const std::string& name : commands->CommandNames()) {
    // A readable caption ("CompileClick" reads "Compile"); the command's own
    // name stays in the tooltip and the object name.
    QString caption = QString::fromStdString(name);
    if (caption.endsWith("Click")) caption.chop(5);
    if (caption.endsWith("Dlg")) caption = caption.chopped(3) + "...";
    caption.replace(QRegularExpression("([a-z])([A-Z])"), "\\1 \\2");
    caption.replace("Db ", "Database ");
    QAction* action = ToolsMenu->addAction(caption);
    action->setObjectName(QString::fromStdString(name));
    action->setToolTip(QString::fromStdString(name));
    const QString running = caption.endsWith("...") ? caption.chopped(3) : caption;
    connect(action, &QAction::triggered, this, [this, commands, name, caption = running] {
      statusBar()->showMessage(caption + " ...");
      messagesAdded_ = 0;  // what the command itself shows, even where it cleared as many lines
      bool failed = false;
      buildCancelled_ = false;  // the package's build offers the unsaved edits first
      running_ = true;          // no second command while this one runs
      UpdateCommands();
      forms::Handle(messages_, [&] {
        try {
          commands->RunCommand(name);
        } catch (...) {
          failed = true;
          throw;
        }
      });
      running_ = false;
      UpdateCommands();
      // A build's own last line says how it ended.
      if (buildCancelled_) statusBar()->showMessage(caption + ": cancelled", 10000);
      else if (!failed && messagesAdded_ > 0 && MessageView->count() > 0)
        statusBar()->showMessage(MessageView->item(MessageView->count() - 1)->text(), 10000);
      else statusBar()->showMessage(caption + (failed ? ": failed" : ": done"), 10000);
    });
    package.ToolsActions << action;
  }
  ToolsMenu->menuAction()->setVisible(!ToolsMenu->actions().isEmpty());
  UpdateCommands();
}

void IdeWindow::UpdateCommands() {
  for (QAction* action : ToolsMenu->actions()) {
    const bool build = action->objectName() == "CompileClick" || action->objectName() == "RunClick";
    action->setEnabled(!running_ && (!build || Project != nullptr));
  }
}

void IdeWindow::UnloadPackages() {
  while (!packages_.empty()) {
    std::unique_ptr<Package> package = std::move(packages_.back());
    packages_.pop_back();
    for (QAction* action : package->ToolsActions) {
      ToolsMenu->removeAction(action);
      delete action;
    }
    ToolsMenu->menuAction()->setVisible(!ToolsMenu->actions().isEmpty());
    package->Wizard.reset();  // the wizard's destructor runs in the package
    if (auto finalize = reinterpret_cast<PackageProc>(package->Library.Symbol("Finalize"))) finalize();
    ImageList.RemoveFrom(package->ImagesBefore);
    package->Library.Unload();
  }
}

bool IdeWindow::OpenProject(const std::string& path) {
  const std::string file = platform::TypedPath(path);
  if (!platform::NameTaken(file)) {
    messages_.ShowError("No such project: " + path);  // as the user typed it
    return false;
  }
  std::string text;
  try {
    text = platform::ReadFileText(file);
  } catch (const std::exception& e) {
    messages_.ShowError(e.what());
    return false;
  }
  if (!KeepOrSaveEdits()) return false;
  CloseFiles();
  auto addTab = [this](const std::string& name, const std::string& content) {
    auto* editor = new QPlainTextEdit;
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setFont(QFont("DejaVu Sans Mono", 10));
    // The line of the text cursor is marked, as editors do.
    auto markLine = [editor] {
      QTextEdit::ExtraSelection line;
      line.format.setBackground(QColor(255, 250, 205));
      line.format.setProperty(QTextFormat::FullWidthSelection, true);
      line.cursor = editor->textCursor();
      line.cursor.clearSelection();
      editor->setExtraSelections({line});
    };
    connect(editor, &QPlainTextEdit::cursorPositionChanged, editor, markLine);
    markLine();
    auto source = std::make_shared<SourceFile>(name, editor);
    source->ShowText(content);
    source->Show = [this, editor] { Tabs->setCurrentWidget(editor); };
    Files.push_back(source);
    const QString tab = forms::ToQt(platform::ExtractFileName(name));
    Tabs->addTab(editor, tab);
    // A tab with edits not saved says so, and so does the title.
    connect(editor->document(), &QTextDocument::modificationChanged, this, [this, editor, tab](bool modified) {
      Tabs->setTabText(Tabs->indexOf(editor), modified ? tab + " *" : tab);
      UpdateTitle();
    });
    watcher_->addPath(HostPathText(name));
    return source;
  };
  auto projectFile = addTab(file, text);
  Project = std::make_shared<IdeProject>(projectFile);
  platform::Lines units;
  pipeline::GetProjectUnits(platform::DiskFiles(), file, units);
  const std::string folder = platform::ExtractFilePath(file);
  for (const std::string& unit : units) {
    std::string unitText;
    try {
      unitText = platform::ReadFileText(folder + unit);
    } catch (const std::exception&) {
      continue;  // a unit the IDE cannot find is simply not opened
    }
    addTab(folder + unit, unitText);
  }
  Tabs->setCurrentIndex(0);
  UpdateCommands();
  UpdateTitle();
  return true;
}

void IdeWindow::UpdateTitle() {
  bool modified = false;
  for (const std::shared_ptr<SourceFile>& file : Files) modified = modified || file->Modified();
  const QString project = Project ? " - " + forms::ToQt(Project->GetFileName()) : QString();
  setWindowTitle("tidewell-ide" + project + (modified ? " *" : ""));
}

bool IdeWindow::Save(SourceFile& file) {
  bool saved = false;
  forms::Handle(messages_, [&] {
    file.Save();
    saved = true;
  });
  return saved;
}

bool IdeWindow::SaveShownFile() {
  std::shared_ptr<SourceFile> shown = ShownFile();
  if (!shown) return true;
  if (!Save(*shown)) return false;
  statusBar()->showMessage("Saved " + forms::ToQt(shown->GetFileName()), 5000);
  return true;
}

bool IdeWindow::SaveAll() {
  for (const std::shared_ptr<SourceFile>& file : Files)
    if (file->Modified() && !Save(*file)) return false;
  return true;
}

bool IdeWindow::KeepOrSaveEdits() {
  for (const std::shared_ptr<SourceFile>& file : Files) {
    if (!file->Modified()) continue;
    using Answer = platform::MessageService::Answer;
    const Answer answer = messages_.Ask("Save the changes to " + platform::ExtractFileName(file->GetFileName()) + "?",
                                        "Save", "Don't Save", Answer::Yes);
    if (answer == Answer::Cancel) return false;  // Exit, Close or Open does not happen
    if (answer == Answer::Yes && !Save(*file)) return false;
  }
  return true;
}

void IdeWindow::CloseFiles() {
  Tabs->clear();
  Files.clear();
  MessageView->clear();  // the messages were the closed project's
  if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
}

void IdeWindow::FileChangedOnDisk(const QString& hostPath) {
  // A file replaced through a temporary file is watched again under its name.
  if (QFileInfo::exists(hostPath) && !watcher_->files().contains(hostPath)) watcher_->addPath(hostPath);
  for (const std::shared_ptr<SourceFile>& file : Files) {
    if (HostPathText(file->GetFileName()) != hostPath) continue;
    // A new time stamp or mode alone (a build writes every unit back, with
    // the same bytes where nothing needed a change) asks nothing.
    if (!QFileInfo::exists(hostPath) || !file->ChangedOnDisk()) return;
    // Keeping the edits is what a stray key chooses.
    using Answer = platform::MessageService::Answer;
    if (file->Modified() && messages_.Ask(platform::ExtractFileName(file->GetFileName()) +
                                              " has changed on disk. Read it again and lose the edits made here?",
                                          "Read It Again", "Keep My Edits", Answer::No) != Answer::Yes)
      return;
    forms::Handle(messages_, [&] { file->Reload(); });
  }
}

void IdeWindow::closeEvent(QCloseEvent* event) {
  if (busy_ > 0) {
    // A build runs inside this very close: end it and every tool it
    // started, as Ctrl-C does, and close once it has returned.
    event->ignore();
    if (!closing_) {
      closing_ = true;
      statusBar()->showMessage("Ending the build ...");
      platform::EndStartedPrograms();
    }
    QTimer::singleShot(100, this, [this] {
      closing_ = false;
      close();
    });
    return;
  }
  if (!KeepOrSaveEdits()) {
    event->ignore();
    return;
  }
  event->accept();
  UnloadPackages();          // the packages' forms close with them
  QCoreApplication::quit();  // ends the event loop, when one runs
}

void IdeWindow::OpenProjectDialog() {
  const QString file =
      QFileDialog::getOpenFileName(this, "Open Project", QString(), "Delphi for .NET projects (*.dpr)");
  if (!file.isEmpty()) OpenProject(forms::FromQt(file));
}

}  // namespace host
