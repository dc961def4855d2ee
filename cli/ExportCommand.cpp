#include "cli/ExportCommand.h"

#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/CommandOptions.h"
#include "dataexport/TableExport.h"
#include "dataexport/TableQuery.h"
#include "dataexport/XmlExport.h"
#include "platform/Database.h"
#include "platform/Files.h"
#include "platform/OutputStream.h"
#include "platform/Text.h"

namespace cli {

namespace {

const char* const ExportHelp =
    "Usage: tidewell export --alias NAME --table NAME --output FILE [--encoding ENC] [--code FILE]\n"
    "                       [--well-formed] [--verbose]\n"
    "       tidewell export --list-aliases\n"
    "       tidewell export --list-tables ALIAS\n"
    "\n"
    "Exports every record of a table to an XML data file for a device, and with\n"
    "--code writes the Delphi source of TWinForm.Init_DataSet, which creates the\n"
    "matching DataTable. Aliases are ODBC data sources (see ODBCINI).\n"
    "\n"
    "Options with a value are given once, as --alias NAME or --alias=NAME.\n"
    "A FILE of - is standard output. Both files appear whole, or neither.\n"
    "\n"
    "  --encoding ENC   the encoding named in the XML declaration: 0 ISO-8859-1,\n"
    "                   1 big5, 2 gb2312, 3 EUC-JP, 4 UTF-8 (index or name);\n"
    "                   none by default. Text is written as the database gives it.\n"
    "  --well-formed    a document any XML parser reads back to the database's\n"
    "                   values: &, < and > escaped, element names encoded as\n"
    "                   .NET's XmlConvert.EncodeName does (a blank is _x0020_),\n"
    "                   text converted into the declared encoding (UTF-8 when\n"
    "                   none), a character it cannot hold written as a character\n"
    "                   reference with a warning; in the code, apostrophes in\n"
    "                   names doubled.\n"
    "  --verbose        say on standard error what the driver is asked for, so\n"
    "                   that it hands rows on as it fetches them (psqlODBC:\n"
    "                   UseDeclareFetch=1;Fetch=16384; MariaDB: OPTION=1048576;\n"
    "                   FORWARDONLY=1; MySQL: NO_CACHE=1;FORWARD_CURSOR=1;\n"
    "                   SQLite: StepAPI=1), unless the data source sets it;\n"
    "                   and how the records are read (in row sets or value by\n"
    "                   value, in pages by the table's key).\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  a database or file error\n"
    "  2  a usage error\n";

// A progress bar on standard error, drawn only for a terminal.
class TerminalProgress : public dataexport::ProgressSink {
 public:
  TerminalProgress() : enabled_(platform::StandardErrorIsTerminal()) {}
  bool Shown() const { return enabled_; }
  ~TerminalProgress() override {
    if (enabled_ && drawn_) std::fputs("\n", stderr);
  }
  void SetMaxValue(int maximum) override {
    maximum_ = maximum;
    Draw();
  }
  void SetProgress(int progress) override {
    progress_ = progress;
    Draw();
  }
  void Step() override {
    ++progress_;
    Draw();
  }

 private:
  void Draw() {
    if (!enabled_) return;
    if (maximum_ < 0) {  // a count the database did not give: records so far
      if (progress_ % 10000 != 0) return;
      std::fprintf(stderr, "\r%d records", progress_);
      std::fflush(stderr);
      drawn_ = true;
      return;
    }
    if (maximum_ == 0) return;
    int percent = static_cast<int>(100LL * progress_ / maximum_);
    if (drawn_ && percent == lastPercent_) return;
    lastPercent_ = percent;
    drawn_ = true;
    std::string bar(static_cast<size_t>(percent / 5), '#');
    bar.resize(20, ' ');
    std::fprintf(stderr, "\r[%s] %d/%d records", bar.c_str(), progress_, maximum_);
    std::fflush(stderr);
  }
  bool enabled_;
  bool drawn_ = false;
  int maximum_ = 0, progress_ = 0, lastPercent_ = -1;
};

constexpr int MaxWarnings = 20;

int Usage(const std::string& problem) {
  std::cerr << "tidewell export: " << problem << "\n\n" << ExportHelp;
  return ToInt(ExitStatus::CouldNotStart);
}

// One line on standard error, whatever the error's text holds.
int Failure(std::string problem) {
  for (char& c : problem)
    if (c == '\r' || c == '\n') c = ' ';
  std::cerr << "tidewell export: " << problem << "\n";
  return ToInt(ExitStatus::Failed);
}

}  // namespace

int EncodingIndexOf(const std::string& value) {
  if (platform::SameText(value, "none") || value == "-1") return -1;
  if (std::optional<int> index = platform::ParseInt(value)) return *index >= 0 && *index <= 4 ? *index : -2;
  for (int i = 0; i < 5; ++i)
    if (platform::SameText(value, dataexport::Encodings[i])) return i;
  return -2;
}

namespace {

// Lists the data sources, or the tables of one.
int List(const CommandLineOptions& options) {
  if (options.Has("--list-aliases")) {
    for (const std::string& alias : platform::Session.GetAliasNames()) std::cout << alias << "\n";
    return ToInt(ExitStatus::Done);
  }
  const std::string alias = options.Value("--list-tables");
  if (!dataexport::ListedName(platform::Session.GetAliasNames(), alias))
    return Failure("unknown alias '" + alias + "' (see --list-aliases)");
  for (const std::string& table : platform::Session.GetTableNames(alias)) std::cout << table << "\n";
  return ToInt(ExitStatus::Done);
}

// The alias and the table as the lists show them; a failure's status when
// either is not there.
std::optional<int> FindListedNames(dataexport::ExportRequest& request) {
  std::optional<std::string> alias = dataexport::ListedName(platform::Session.GetAliasNames(), request.AliasName);
  if (!alias) return Failure("unknown alias '" + request.AliasName + "' (see --list-aliases)");
  request.AliasName = *alias;
  std::optional<std::string> table =
      dataexport::ListedName(platform::Session.GetTableNames(request.AliasName), request.TableName);
  if (!table)
    return Failure("alias '" + request.AliasName + "' has no table '" + request.TableName + "' (see --list-tables)");
  request.TableName = *table;
  return std::nullopt;
}

// The records written as they are fetched, and the code; both files appear
// whole at the end, or neither. Returns the warnings given.
int ExportRecords(dataexport::ExportRequest request, const std::string& output, const std::string& codeFile) {
  const std::string statement = dataexport::TableStatement(request.AliasName, request.TableName);
  TerminalProgress progress;
  const int count = progress.Shown() ? dataexport::CountedRecords(request.AliasName, statement) : -1;
  int warnings = 0;
  request.Warnings = [&warnings](const std::string& warning) {
    if (++warnings <= MaxWarnings) std::cerr << "tidewell export: warning: " << warning << "\n";
  };
  dataexport::CodeLines code;
  dataexport::ExportStatement(request, statement, {output, codeFile}, count, code, progress);
  return warnings;
}

// What is wrong when one of the outputs is a file the export reads (the data
// source's database file, an ODBC configuration file); nothing otherwise.
std::optional<std::string> InputNamedBy(const std::vector<std::string>& outputs, const std::string& alias) {
  const std::string database = platform::TSession::DatabaseFile(alias);
  for (const std::string& file : outputs) {
    if (file.empty() || file == "-") continue;
    if (!database.empty() && platform::SameFile(file, database))
      return "'" + file + "' is the database file of alias '" + alias + "': name another output";
    for (const std::string& configuration : platform::TSession::ConfigurationFiles())
      if (platform::SameFile(file, configuration))
        return "'" + file + "' is the ODBC configuration file " + configuration + ": name another output";
  }
  return std::nullopt;
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args) {
  const CommandLineOptions options = ParseCommandLine(args, {{"--help", 'h'},
                                                             {"--list-aliases"},
                                                             {"--list-tables", 0, true},
                                                             {"--alias", 0, true},
                                                             {"--table", 0, true},
                                                             {"--encoding", 0, true},
                                                             {"--output", 0, true},
                                                             {"--code", 0, true},
                                                             {"--well-formed"},
                                                             {"--verbose", 'v'}});
  if (!options.Problem.empty()) return Usage(options.Problem);
  if (!options.Operands.empty()) return Usage("unknown argument '" + options.Operands[0] + "'");
  const bool lists = options.Has("--list-aliases") || options.Has("--list-tables");
  const bool exports = options.Has("--alias") || options.Has("--table") || options.Has("--output") ||
                       options.Has("--code") || options.Has("--encoding") || options.Has("--well-formed") ||
                       options.Has("--verbose");
  if ((options.Has("--list-aliases") && options.Has("--list-tables")) || (lists && exports))
    return Usage("--list-aliases and --list-tables each list alone: no export option goes with them");
  if (options.Has("--help")) {
    std::cout << ExportHelp;
    return ToInt(ExitStatus::Done);
  }
  try {
    if (options.Has("--list-aliases") || options.Has("--list-tables")) return List(options);
    for (const char* required : {"--alias", "--table", "--output"})
      if (!options.Has(required)) return Usage(std::string(required) + " is required");

    dataexport::ExportRequest request;
    request.AliasName = options.Value("--alias");
    request.TableName = options.Value("--table");
    request.WellFormed = options.Has("--well-formed");
    if (options.Has("--encoding")) {
      request.EncodingIndex = EncodingIndexOf(options.Value("--encoding"));
      if (request.EncodingIndex == -2) return Usage("unknown encoding '" + options.Value("--encoding") + "'");
    }
    const std::string output = options.Value("--output");
    const std::string codeFile = options.Value("--code");
    if (!codeFile.empty() && (platform::SameFile(output, codeFile) || (output == "-" && codeFile == "-")))
      return Usage("--output and --code name the same file");
    // An output never takes the place of what the export reads.
    if (std::optional<std::string> input = InputNamedBy({output, codeFile}, request.AliasName)) return Usage(*input);
    std::vector<std::string> targets;
    for (const std::string& file : {output, codeFile})  // a FIFO, a device, "-": written through
      if (!file.empty() && !platform::IsStreamTarget(file)) targets.push_back(file);
    for (const std::string& file : targets)
      if (std::string problem = platform::WriteProblem(file); !problem.empty())
        return Failure("cannot write '" + file + "': " + problem);
    if (std::optional<int> status = FindListedNames(request)) return *status;

    if (options.Has("--verbose")) {
      const platform::TSession::DriverRequest asked = platform::TSession::StreamingRequest(request.AliasName);
      std::cerr << "tidewell export: driver " << (asked.Driver.empty() ? "(none named)" : asked.Driver) << ": "
                << (asked.Settings.empty() ? "nothing asked beyond forward-only row sets"
                                           : "asked for " + asked.Settings.substr(0, asked.Settings.size() - 1))
                << "\n";
      request.Reading = [](const std::string& how) { std::cerr << "tidewell export: records read " << how << "\n"; };
    }
    const int warnings = ExportRecords(request, output, codeFile);
    if (warnings > MaxWarnings)
      std::cerr << "tidewell export: " << warnings - MaxWarnings << " more warnings like these\n";
    return ToInt(ExitStatus::Done);
  } catch (const std::exception& e) {
    return Failure(e.what());
  }
}

}  // namespace cli
