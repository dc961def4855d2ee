#pragma once
// The state and behaviour of the build dialog TfCompactDevForm, without
// widgets: the settings record, what each control shows, and the dialog's
// operations. The form binds its widgets to this; each of its handlers calls
// one operation.
#include <functional>
#include <string>

#include "pipeline/BuildContext.h"
#include "pipeline/BuildOutcome.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "platform/TextLines.h"
#include "runner/MessageList.h"
#include "settings/CFOptions.h"
#include "builddialog/ControlState.h"
#include "dialogs/Pickers.h"

namespace builddialog {

inline constexpr const char* NoProjectToSaveMessage =
    "No project is open: the options are saved beside a project file, so nothing was saved.";

// What the dialog needs from around it. Runner, hidden start and sleep
// default to the real platform operations when left empty.
struct DialogServices {
  platform::MessageService* Messages = nullptr;
  dialogs::Pickers* Picker = nullptr;
  std::function<runner::ConsoleRun(const std::string&, const std::string&)> RunConsole;
  std::function<std::unique_ptr<platform::StartedProcess>(const std::string&)> StartHidden;
  std::function<void(int)> Sleep;
  // The files the dialog reads and changes; the disk when null (a dry run
  // passes its change plan).
  platform::FileSystem* Files = nullptr;
  // What a click on " Microsoft Assembly Path " opens (the resources
  // browser, once there is one); nothing when empty.
  std::function<void()> OpenResources;
};

// The project a dialog works on and the IDE's module services (where a
// message's file is opened), as the package hands them over from the IDE or
// the command line makes them.
struct ProjectContext {
  std::shared_ptr<ToolsAPI::IOTAProject> Project;
  std::shared_ptr<ToolsAPI::IOTAModuleServices> Modules;
};

class CompactDevModel : public pipeline::BuildInputs, public pipeline::BuildHost, private pipeline::BuildObserver {
 public:
  explicit CompactDevModel(DialogServices services);
  CompactDevModel(const CompactDevModel&) = delete;
  CompactDevModel& operator=(const CompactDevModel&) = delete;

  // --- controls, named as on the form ---
  EditState EdDCCIL_Path, Ed_BDS_Lib_Path;
  EditState Ed_MS_Assembly_LinkPath, Ed_Delphi_Assembly_LinkPath, Ed_Third_Assembly_LinkPath;
  CheckListState MS_Assmbly_List, Delphi_Assmbly_List, Third_Assmbly_List;
  ComboBoxState CB_CFVer;
  settings::Catalogue AssemblyPageCtrl = settings::Catalogue::Microsoft;  // the catalogue page shown
  EditState EdPjPath, EdPJName;
  EditState Ed_Emulator_App, Ed_Emulator_Image_FileName, Ed_Shared_Folder;
  EditState Ed_Emulator_Screen_Width, Ed_Emulator_Screen_Height, Ed_Emulator_Ram_Size;
  ComboBoxState ComboBox1;
  bool Chk_Is_Auto_Depoly = true;
  enum Page { TargetProjectPage = 0, DeviceEmulatorPage = 1, MessagesPage = 2 };
  int PageControl1 = TargetProjectPage;  // the page shown
  // The Compile button: off while the sources change and the compiler runs.
  bool CompileEnabled = true, CompileVisible = true;
  runner::MessageLines MessageList;

  // --- the settings record ---
  settings::TCFOptions CFOptions;

  // --- what the dialog is for: the IDE's command and `tidewell build` ---
  // Opens the dialog on a project: its options file read (an error reading
  // it passes up, with the record reset and Loading cleared) and the first
  // page shown.
  void OpenProject(ProjectContext context);
  // As the dialog appears: the project's name shown, its folder made the
  // current one, the compiled packages left there deleted and the options
  // read again. False when it stopped with a message.
  bool EnterProject();
  // Builds with what the dialog shows and returns what happened; a file
  // error goes to the message service (and is the outcome's Stopped).
  pipeline::BuildOutcome Build();
  // As the dialog closes: the compiled packages the build left are deleted.
  void Close();
  // Who else hears the build's events (the IDE's status bar); nothing when
  // null. The dialog's own page and Compile button follow them first.
  void SetBuildObserver(pipeline::BuildObserver* observer) { observer_ = observer; }
  // The compiled packages (*.dcpil) of the catalogues' assemblies deleted
  // from the project folder.
  void DeleteCompiledPackages();

  // --- settings load and save ---
  // Loads CFOption.OPN from the current folder. Throws platform::FileError
  // when the file exists but cannot be read.
  void InitOptions();
  // InitOptions with Loading set around it; errors go to the message service.
  bool LoadWithLoadingFlag();
  // Writes CFOption.OPN into the project folder, from what the controls show.
  void SaveOptions();
  // The 19-line options file, from what the controls show.
  platform::Lines OptionsFileLines() const;
  // Options-file lines ("KEY=VALUE") that every later load reads before the
  // file's own, so that they win; the file itself is not written. Without
  // a file they go over the dialog's first values. For one build's
  // settings from the command line.
  void OverrideOptions(std::vector<std::string> lines) { overrides_ = std::move(lines); }

  // --- path edits ---
  // Enter in an edit: its text, as typed, becomes the record's field.
  void KeepLibFolderAsTyped();
  void KeepAssemblyFolderAsTyped(settings::Catalogue which);

  // --- framework profile ---
  // Run by the form after the user picked an entry (CB_CFVer.ItemIndex set):
  // asks, then shows the profile's folders.
  void SwitchFrameworkProfile();

  // --- catalogues ---
  // Picks a folder of assemblies and lists its DLLs in the catalogue.
  void FillCatalogue(settings::Catalogue which);
  // Picks an assembly and adds it, checked, to the catalogue shown.
  void AddAssemblyToShownCatalogue();
  // Removes the selected entry of the catalogue shown, or of `which`.
  void RemoveSelectedFromShownCatalogue();
  void RemoveSelectedEntry(settings::Catalogue which);

  // --- emulator ---
  // Run by the form after the device list changed (ComboBox1.ItemIndex set).
  void ShowDeviceScreenSize();
  void PickEmulatorProgram();
  void PickEmulatorImage();

  // --- compiler and library folder pickers ---
  void PickCompilerFolder();
  void PickLibFolder();

  // --- messages and the link ---
  // Scrolls the IDE's current source editor to the line the selected
  // message names.
  void JumpToSelectedMessage();
  // What " Microsoft Assembly Path " opens.
  void OpenResources();

  // --- pipeline::BuildInputs ---
  std::string ProjectFolderText() const override { return EdPjPath.Text(); }
  std::string ProjectNameText() const override { return EdPJName.Text(); }
  std::string CompilerFolderText() const override { return EdDCCIL_Path.Text(); }
  std::string LibFolderText() const override { return Ed_BDS_Lib_Path.Text(); }
  std::string MSAssemblyFolderText() const override { return Ed_MS_Assembly_LinkPath.Text(); }
  settings::TCFOptions& Options() override { return CFOptions; }
  const settings::CatalogueEntries& CatalogueList(settings::Catalogue which) const override;
  int ProfileNumber() const override { return CB_CFVer.ItemIndex; }
  std::shared_ptr<ToolsAPI::IOTAProject> ActiveProject() const override;

  // --- pipeline::BuildHost ---
  void ShowMessage(const std::string& text) override;
  runner::MessageList& Messages() override { return MessageList; }
  platform::FileSystem& Files() override { return services_.Files ? *services_.Files : platform::DiskFiles(); }
  runner::ConsoleRun RunConsole(const std::string& commandLine, const std::string& workingFolder) override;
  std::unique_ptr<platform::StartedProcess> StartHidden(const std::string& commandLine) override;
  void Wait(int milliseconds) override;

 private:
  struct CatalogueControls {
    EditState& Edit;
    std::string settings::TCFOptions::*Field;
    CheckListState& List;
  };
  CatalogueControls Controls(settings::Catalogue which);
  // The path rule: outer blanks and trailing "\" dropped, into the field.
  void ApplyPathRule(EditState& edit, std::string settings::TCFOptions::*field);
  void RemoveSelected(CheckListState& list);
  void PickFolderInto(EditState& edit, std::string settings::TCFOptions::*field);
  void PickEmulatorFile(const char* mask, EditState& edit, std::string settings::TCFOptions::*field);
  // Where a picker starts: the folder text, or "C:\" when it cannot be opened.
  static std::string PickerStart(const std::string& folderText);
  void RestoreProjectFolder();

  // --- pipeline::BuildObserver: the page and the Compile button ---
  void BuildStarted() override;
  void SourcesChanging() override;
  void CompilerRunning(const std::string& commandLine) override;
  void CompilerEnded() override;
  void BuildEnded(const pipeline::BuildOutcome& outcome) override;

  DialogServices services_;
  ProjectContext context_;
  pipeline::BuildObserver* observer_ = nullptr;
  std::vector<std::string> overrides_;
};

}  // namespace builddialog
