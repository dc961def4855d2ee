#pragma once
// The state and behaviour of the build dialog TfCompactDevForm, without
// widgets: the settings record, what each control shows, and the dialog's
// event handlers. The form binds its widgets to this and calls the handlers.
#include <functional>
#include <string>

#include "pipeline/BuildContext.h"
#include "platform/MessageService.h"
#include "platform/TextLines.h"
#include "runner/MessageList.h"
#include "settings/CFOptions.h"
#include "builddialog/ControlState.h"
#include "dialogs/Pickers.h"

namespace builddialog {

// What the dialog needs from around it. Runner, hidden start and sleep
// default to the real platform operations when left empty.
struct DialogServices {
  platform::MessageService* Messages = nullptr;
  dialogs::Pickers* Picker = nullptr;
  std::function<std::string(const std::string&, const std::string&)> RunConsole;
  std::function<std::unique_ptr<platform::StartedProcess>(const std::string&)> StartHidden;
  std::function<void(int)> Sleep;
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

class CompactDevModel : public pipeline::BuildInputs, public pipeline::BuildHost {
 public:
  explicit CompactDevModel(DialogServices services);
  CompactDevModel(const CompactDevModel&) = delete;
  CompactDevModel& operator=(const CompactDevModel&) = delete;

  // --- controls, named as on the form ---
  EditState EdDCCIL_Path, Ed_BDS_Lib_Path;
  EditState Ed_MS_Assembly_LinkPath, Ed_Delphi_Assembly_LinkPath, Ed_Third_Assembly_LinkPath;
  CheckListState MS_Assmbly_List, Delphi_Assmbly_List, Third_Assmbly_List;
  ComboBoxState CB_CFVer;
  int AssemblyPageCtrl = 0;  // page shown: 0 Microsoft, 1 Delphi, 2 Third Party
  EditState EdPjPath, EdPJName;
  EditState Ed_Emulator_App, Ed_Emulator_Image_FileName, Ed_Shared_Folder;
  EditState Ed_Emulator_Screen_Width, Ed_Emulator_Screen_Height, Ed_Emulator_Ram_Size;
  ComboBoxState ComboBox1;
  bool Chk_Is_Auto_Depoly = true;
  int PageControl1 = 0;  // 0 "Target Project", 1 "Device Emulator", 2 "Messages"
  bool BitBtn1Enabled = true, BitBtn1Visible = true;
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
  // Builds with what the dialog shows; errors go to the message service.
  void Build();
  // As the dialog closes: the compiled packages the build left are deleted.
  void Close();

  // --- settings load and save ---
  // Loads CFOption.OPN from the current folder. Throws platform::FileError
  // when the file exists but cannot be read.
  void InitOptions();
  // InitOptions with Loading set around it; errors go to the message service.
  bool LoadWithLoadingFlag();
  void BtnSaveOptionsClick();
  // The 19-line options file, from what the controls show.
  platform::Lines OptionsFileLines() const;

  // --- show and hide ---
  void FormShow();
  void FormHide();

  // --- path edits: change and key press ---
  void EdDCCIL_PathChange();
  void Ed_BDS_Lib_PathChange();
  void Ed_MS_Assembly_LinkPathChange();
  void Ed_Delphi_Assembly_LinkPathChange();
  void Ed_Third_Assembly_LinkPathChange();
  void Ed_BDS_Lib_PathKeyPress();
  void Ed_MS_Assembly_LinkPathKeyPress();
  void Ed_Delphi_Assembly_LinkPathKeyPress();
  void Ed_Third_Assembly_LinkPathKeyPress();

  // --- framework profile ---
  // Run by the form after the user picked an entry (CB_CFVer.ItemIndex set).
  void CB_CFVerChange();

  // --- catalogues ---
  void SpeedButton2Click();  // fill Microsoft
  void SpeedButton6Click();  // fill Delphi
  void SpeedButton7Click();  // fill Third Party
  void BitBtn3Click();       // Add to the catalogue shown
  void BitBtn7Click();       // Remove from the catalogue shown
  void MS_Assmbly_ListDblClick();
  void Delphi_Assmbly_ListDblClick();
  void Third_Assmbly_ListDblClick();

  // --- emulator ---
  // Run by the form after the device list changed (ComboBox1.ItemIndex set).
  void ComboBox1Change();
  void SpeedButton3Click();  // emulator program
  void SpeedButton5Click();  // emulator image

  // --- compiler and library folder pickers ---
  void SpeedButton4Click();
  void SpeedButton1Click();

  // --- messages and the link ---
  // Scrolls the IDE's current source editor to the line the selected
  // message names.
  void MessageListDblClick();
  void Label5Click();

  // --- build ---
  void BitBtn1Click();
  void DoCompileCF();
  void DelPjAllDcpil();

  // --- pipeline::BuildInputs ---
  std::string ProjectFolderText() const override { return EdPjPath.Text(); }
  std::string ProjectNameText() const override { return EdPJName.Text(); }
  std::string CompilerFolderText() const override { return EdDCCIL_Path.Text(); }
  std::string LibFolderText() const override { return Ed_BDS_Lib_Path.Text(); }
  std::string MSAssemblyFolderText() const override { return Ed_MS_Assembly_LinkPath.Text(); }
  settings::TCFOptions& Options() override { return CFOptions; }
  const settings::CatalogueEntries& CatalogueList(pipeline::Catalogue which) const override;
  int ProfileNumber() const override { return CB_CFVer.ItemIndex; }
  std::shared_ptr<ToolsAPI::IOTAProject> ActiveProject() const override;

  // --- pipeline::BuildHost ---
  void ShowMessage(const std::string& text) override;
  runner::MessageList& Messages() override { return MessageList; }
  void SelectPage(int index) override { PageControl1 = index; }
  void SetCompileEnabled(bool enabled) override { BitBtn1Enabled = enabled; }
  void SetCompileVisible(bool visible) override { BitBtn1Visible = visible; }
  std::string RunConsole(const std::string& commandLine, const std::string& workingFolder) override;
  std::unique_ptr<platform::StartedProcess> StartHidden(const std::string& commandLine) override;
  void Wait(int milliseconds) override;

 private:
  struct CatalogueControls {
    EditState& Edit;
    std::string settings::TCFOptions::*Field;
    CheckListState& List;
  };
  CatalogueControls Catalogue(int which);
  void ApplyPathRule(EditState& edit, std::string settings::TCFOptions::*field);
  void FillCatalogue(int which);
  void RemoveSelected(CheckListState& list);
  void PickFolderInto(EditState& edit, std::string settings::TCFOptions::*field);
  void PickEmulatorFile(const char* mask, EditState& edit, std::string settings::TCFOptions::*field);
  // Where a picker starts: the folder text, or "C:\" when it cannot be opened.
  static std::string PickerStart(const std::string& folderText);
  void RestoreProjectFolder();

  DialogServices services_;
  ProjectContext context_;
};

}  // namespace builddialog
