#pragma once
// The IDE's tools interface, as far as the package uses it. The package sees
// the IDE only through these abstract interfaces; a host (the stand-in IDE,
// the headless front end, a test) implements them.
//
// Interfaces are reference counted through std::shared_ptr. A query asks an
// object for another of its interfaces by identity, as in the IDE:
// Supports<IOTASourceEditor>(editor) succeeds exactly for a source editor.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ToolsAPI {

// An interface identity, written as the IDE writes it.
struct TGUID {
  std::string_view Text;
  bool operator==(const TGUID& other) const;
};

class IInterface {
 public:
  virtual ~IInterface() = default;
  // The object as the interface with identity `iid`, or nullptr.
  virtual void* QueryInterface(const TGUID& iid) = 0;
};

// Asks `object` for interface T; the result shares the object's lifetime.
template <class T, class U>
std::shared_ptr<T> Supports(const std::shared_ptr<U>& object) {
  if (!object) return nullptr;
  void* p = object->QueryInterface(T::IID);
  return p ? std::shared_ptr<T>(object, static_cast<T*>(p)) : nullptr;
}

class IOTAEditView : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{9C510464-2B67-4A4C-8D7C-AEEC1C6CB7F6}"};
  virtual void SetTopLeft(int topRow, int leftColumn) = 0;
  virtual void MoveCursorToView() = 0;
};

class IOTAEditor : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{F17A7BD0-E07D-11D1-AB0B-00C04FB16FB3}"};
  virtual std::string GetFileName() = 0;
};

class IOTASourceEditor : public virtual IOTAEditor {
 public:
  static constexpr TGUID IID{"{5D965803-8147-4D32-B8C5-712F6DDCF98E}"};
  virtual int GetEditViewCount() = 0;
  virtual std::shared_ptr<IOTAEditView> GetEditView(int index) = 0;
};

class IOTAModule : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{F17A7BCC-E07D-11D1-AB0B-00C04FB16FB3}"};
  virtual std::string GetFileName() = 0;
  virtual int GetModuleFileCount() = 0;
  virtual std::shared_ptr<IOTAEditor> GetModuleFileEditor(int index) = 0;
};

class IOTAProject : public virtual IOTAModule {
 public:
  static constexpr TGUID IID{"{F17A7BCA-E07D-11D1-AB0B-00C04FB16FB3}"};
  // The editor of the project's file currently shown, or none.
  virtual std::shared_ptr<IOTAEditor> GetCurrentEditor() = 0;
};

class IOTAModuleServices : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{55A5E848-27FB-4880-8E7C-7F05A9802482}"};
  // The module active in the editor, or none.
  virtual std::shared_ptr<IOTAModule> CurrentModule() = 0;
  // The active project, or none.
  virtual std::shared_ptr<IOTAProject> GetActiveProject() = 0;
  // Saves the modules with unsaved edits, as the user chooses for each
  // (the IDE may ask); false when the user cancels, or a save failed.
  virtual bool SaveAll() = 0;
};

// The IDE's message view, where tools show their output.
class IOTAMessageServices : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{26EB0E4F-F97B-11D1-AB27-00C04FB16FB3}"};
  virtual void ClearAllMessages() = 0;
  virtual void AddTitleMessage(const std::string& text) = 0;
};

// The host's menus, toolbars and image lists are the forms' business; here
// they are opaque (shell/HostTypes.h defines them for a host and a package
// that share them).
class TCustomImageList;
class TMainMenu;
class TToolBar;

class INTAServices : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{26B056B7-FB49-41BC-A8C2-151DE1EBF465}"};
  virtual TCustomImageList* GetImageList() = 0;
  virtual TMainMenu* GetMainMenu() = 0;
  virtual TToolBar* GetToolBar(const std::string& name) = 0;
};

class IOTASplashScreenServices : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{D1F0A3A8-6B1C-4F4B-9A4E-3C0F2D1F8E21}"};
  virtual void StatusMessage(const std::string& text) = 0;
  virtual void AddPluginBitmap(const std::string& caption, void* bitmap, bool isUnRegistered,
                               const std::string& licenseStatus, const std::string& skuName) = 0;
};

// A wizard's state in the IDE's menus: enabled, checked.
struct TWizardState {
  bool Enabled = false;
  bool Checked = false;
  bool operator==(const TWizardState&) const = default;
};

class IOTAWizard : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{B75C0CE0-EEA6-11D1-9504-00608CCBF153}"};
  virtual std::string GetIDString() = 0;
  virtual std::string GetName() = 0;
  virtual TWizardState GetState() = 0;
  virtual void Execute() = 0;
};

class IOTARepositoryWizard : public virtual IOTAWizard {
 public:
  static constexpr TGUID IID{"{B75C0CE1-EEA6-11D1-9504-00608CCBF153}"};
  virtual std::string GetAuthor() = 0;
  virtual std::string GetComment() = 0;
  virtual std::string GetPage() = 0;
  virtual unsigned long GetGlyph() = 0;  // an icon handle; 0 for none
};

// The commands a wizard offers beyond its menu, by name, for a host that
// lists them (the stand-in IDE's Tools menu).
class IOTAExportedCommands : public virtual IInterface {
 public:
  static constexpr TGUID IID{"{6E1D3C0A-4B7F-4C52-9A61-2F8D0E5B7C11}"};
  virtual std::vector<std::string> CommandNames() = 0;
  virtual void RunCommand(const std::string& name) = 0;
};

// The notifier operations every wizard carries; all empty.
class TNotifierObject {
 public:
  virtual ~TNotifierObject() = default;
  virtual void AfterSave() {}
  virtual void BeforeSave() {}
  virtual void Destroyed() {}
  virtual void Modified() {}
};

// What a package tells the host's package loader about itself.
struct TPackageInfoTable {
  const char* Name;
  const char* Description;
  const char* Version;
  const char* const* Units;
  int UnitCount;
};

// The package entry points, by the names the loader looks up.
using PackageProc = void (*)();
using PackageInfoProc = const TPackageInfoTable* (*)();

// The IDE's services object, queried for a service by identity. Set by the
// host; empty outside an IDE.
extern std::shared_ptr<IInterface> BorlandIDEServices;
// Splash-screen services: set only while the IDE starts up.
extern std::shared_ptr<IOTASplashScreenServices> SplashScreenServices;

// The active project, or none (asks BorlandIDEServices for its modules).
std::shared_ptr<IOTAProject> GetActiveProject();

// Hands a wizard to the IDE, which keeps it until the package unloads.
using WizardRegistrar = std::function<void(std::shared_ptr<IOTAWizard> wizard)>;
extern WizardRegistrar RegisterPackageWizardHandler;
void RegisterPackageWizard(std::shared_ptr<IOTAWizard> wizard);

// The IDE application's "process messages" (Application.ProcessMessages):
// set by the host, so that a package's long work (a build) keeps the IDE
// going however it was started; nothing without a host.
extern void (*ApplicationProcessMessages)();

}  // namespace ToolsAPI

// Package-wide state shared by the dialogs, the build and the jump to source.
extern std::shared_ptr<ToolsAPI::IOTAProject> Pub_Project_Intf;
extern std::shared_ptr<ToolsAPI::IOTAModuleServices> Pub_ModuleService;
// The IDE's working folder at package load, with a trailing "\".
extern std::string Pub_CF_Tool_Path;
