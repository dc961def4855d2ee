#include "tests/TestWorld.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/WinPath.h"

namespace fs = std::filesystem;

namespace testing_world {

#ifdef _WIN32

// Windows has no dosdevices folder to point drive C: elsewhere: the world is
// drive C: itself, which must be a scratch drive (scripts/windows makes a
// fresh Wine prefix for the tests and says so). Whatever a test adds to the
// drive (outside the system's and the users' folders) goes at its end.
namespace {
std::vector<std::string> EverythingOnDriveC() {
  std::vector<std::string> paths;
  std::error_code error;
  fs::recursive_directory_iterator it("C:\\", fs::directory_options::skip_permission_denied, error), end;
  for (; !error && it != end; it.increment(error)) {
    // The system's folders stay out of it (the users' folders may lead to
    // the whole home of the user under Wine).
    const std::string name = it->path().filename().string();
    if (it.depth() == 0 && (platform::SameText(name, "windows") || platform::SameText(name, "users")))
      it.disable_recursion_pending();
    paths.push_back(it->path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}
}  // namespace

void TestWorld::SetUp() {
  const char* scratch = std::getenv("TIDEWELL_SCRATCH_DRIVE_C");
  if (!scratch || std::string(scratch) != "1")
    GTEST_SKIP() << "the test world needs drive C: as a scratch drive: set TIDEWELL_SCRATCH_DRIVE_C=1 "
                    "only in a Wine prefix made for the tests (scripts/windows does)";
  root_ = "C:";
  driveC_ = "C:";
  before_ = EverythingOnDriveC();
  oldCwd_ = fs::current_path().string();
  fs::current_path("C:\\");
}

void TestWorld::TearDown() {
  Pub_Project_Intf.reset();
  Pub_ModuleService.reset();
  if (root_.empty()) return;  // skipped
  std::error_code ignored;
  fs::current_path(oldCwd_, ignored);
  std::vector<std::string> now = EverythingOnDriveC();
  // Deepest first, so that a new folder is empty when its turn comes.
  for (auto it = now.rbegin(); it != now.rend(); ++it) {
    if (std::binary_search(before_.begin(), before_.end(), *it)) continue;
    fs::permissions(*it, fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove(*it, ignored);
  }
}

// The bundled example and its toolchain of shell scripts stay on the POSIX
// side; on Windows the build of the example is checked end to end instead.
ExampleCopy::ExampleCopy(const std::string&) {}
ExampleCopy::~ExampleCopy() {}

std::string TestWorld::AsUnprivileged(const std::function<std::string()>& body) const { return body(); }

#else

void TestWorld::SetUp() {
  char pattern[] = "/tmp/tidewell-test-XXXXXX";
  root_ = ::mkdtemp(pattern);
  driveC_ = root_ + "/drive_c";
  fs::create_directories(driveC_);
  fs::create_directories(root_ + "/dosdevices");
  fs::create_directory_symlink(driveC_, root_ + "/dosdevices/c:");
  if (const char* old = std::getenv("TIDEWELL_DOSDEVICES")) {
    hadDosDevices_ = true;
    oldDosDevices_ = old;
  }
  ::setenv("TIDEWELL_DOSDEVICES", (root_ + "/dosdevices").c_str(), 1);
  oldCwd_ = fs::current_path();
  fs::current_path(driveC_);
}

void TestWorld::TearDown() {
  fs::current_path(oldCwd_);
  if (hadDosDevices_) ::setenv("TIDEWELL_DOSDEVICES", oldDosDevices_.c_str(), 1);
  else ::unsetenv("TIDEWELL_DOSDEVICES");
  std::error_code ignored;
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
  Pub_Project_Intf.reset();
  Pub_ModuleService.reset();
}

ExampleCopy::ExampleCopy(const std::string& folderName) {
  char pattern[] = "/tmp/tidewell-example-XXXXXX";
  root = ::mkdtemp(pattern);
  project = root + "/" + folderName;
  fs::copy(std::string(TIDEWELL_SOURCE_DIR) + "/examples/HelloCF", project, fs::copy_options::recursive);
  oldCwd_ = fs::current_path();
  if (const char* old = std::getenv("TIDEWELL_DOSDEVICES")) {
    hadDosDevices_ = true;
    oldDosDevices_ = old;
  }
  ::setenv("TIDEWELL_DOSDEVICES", (std::string(TIDEWELL_SOURCE_DIR) + "/examples/toolchain/dosdevices").c_str(), 1);
}

ExampleCopy::~ExampleCopy() {
  std::error_code ignored;
  fs::current_path(oldCwd_, ignored);
  if (hadDosDevices_) ::setenv("TIDEWELL_DOSDEVICES", oldDosDevices_.c_str(), 1);
  else ::unsetenv("TIDEWELL_DOSDEVICES");
  fs::remove_all(root, ignored);
}

std::string TestWorld::AsUnprivileged(const std::function<std::string()>& body) const {
  if (::geteuid() != 0) return body();
  ::chmod(root_.c_str(), 0755);
  int report[2];
  if (::pipe(report) != 0) return "no pipe";
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(report[0]);
    const gid_t nobody = 65534;
    std::string problem = ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0
                              ? body()
                              : std::string("could not become nobody");
    (void)!::write(report[1], problem.data(), problem.size());
    ::_exit(0);
  }
  ::close(report[1]);
  std::string problem;
  char buffer[256];
  for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;) problem.append(buffer, static_cast<size_t>(n));
  ::close(report[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) problem += " (the unprivileged child crashed)";
  return problem;
}

#endif

std::string TestWorld::Host(const std::string& windowsPath) const { return platform::ToHostPath(windowsPath); }

void TestWorld::Write(const std::string& windowsPath, const std::string& bytes) const {
  std::string host = Host(windowsPath);
  fs::create_directories(fs::path(host).parent_path());
  std::ofstream(host, std::ios::binary) << bytes;
}

std::string ReadHostFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

FolderSnapshot::FolderSnapshot(const std::string& hostFolder) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(hostFolder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string relative = fs::relative(it->path(), hostFolder).generic_string();
    const auto status = it->symlink_status();
    std::string entry = std::to_string(static_cast<int>(status.permissions())) + " ";
    if (fs::is_directory(status)) entry += "folder";
    else if (fs::is_symlink(status)) entry += "link " + fs::read_symlink(it->path()).string();
    else entry += ReadHostFile(it->path().string());
    entries[relative] = entry;
  }
}

std::ostream& operator<<(std::ostream& out, const FolderSnapshot& snapshot) {
  for (const auto& [path, entry] : snapshot.entries) out << path << " (" << entry.size() << " bytes)\n";
  return out;
}

std::string TestWorld::Read(const std::string& windowsPath) const { return ReadHostFile(Host(windowsPath)); }

bool TestWorld::Exists(const std::string& windowsPath) const { return fs::exists(Host(windowsPath)); }

void TestWorld::MakeFolder(const std::string& windowsPath) const { fs::create_directories(Host(windowsPath)); }

dialogs::PickResult FakePickers::Answer(const std::string& mask, const std::string& start) {
  masks.push_back(mask);
  starts.push_back(start);
  if (!browseTo.empty()) platform::SetCurrentDir(browseTo);
  dialogs::PickResult r;
  if (!answers.empty()) {
    r = answers.front();
    answers.pop_front();
  }
  return r;
}

void* FakeEditor::QueryInterface(const ToolsAPI::TGUID& iid) {
  if (iid == ToolsAPI::IOTAEditor::IID) return static_cast<ToolsAPI::IOTAEditor*>(this);
  if (source && iid == ToolsAPI::IOTASourceEditor::IID) return static_cast<ToolsAPI::IOTASourceEditor*>(this);
  return nullptr;
}

void* FakeProject::QueryInterface(const ToolsAPI::TGUID& iid) {
  if (iid == ToolsAPI::IOTAProject::IID || iid == ToolsAPI::IOTAModule::IID)
    return static_cast<ToolsAPI::IOTAProject*>(this);
  return nullptr;
}

std::shared_ptr<FakeProject> OpenProject(const std::string& projectFile, const std::string& shownFile) {
  auto project = std::make_shared<FakeProject>();
  project->fileName = projectFile;
  auto editor = std::make_shared<FakeEditor>(shownFile.empty() ? projectFile : shownFile, true);
  project->currentEditor = editor;
  project->files.push_back(editor);
  Pub_Project_Intf = project;
  auto modules = std::make_shared<FakeModuleServices>();
  modules->current = project;
  modules->project = project;
  Pub_ModuleService = modules;
  return project;
}

}  // namespace testing_world
