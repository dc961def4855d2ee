#pragma once
// The state and handlers of the data export dialog TfDbToolDlg, without
// widgets: the alias and table lists, the SQL pane, the one query, the
// encoding box, the gauge and the code pane. Handlers let errors of the data
// layer pass to the caller (the form's standard error report); the state
// reached before the error stays.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dataexport/XmlExport.h"
#include "platform/Database.h"

namespace dataexport {

// Asks where to write (the save dialog); nothing when the user cancels.
using FileNameQuestion = std::function<std::optional<std::string>()>;

struct ListBoxState {
  std::vector<std::string> Items;
  int ItemIndex = -1;  // -1: nothing selected
  const std::string* Selected() const {
    return ItemIndex >= 0 && ItemIndex < static_cast<int>(Items.size()) ? &Items[static_cast<size_t>(ItemIndex)]
                                                                        : nullptr;
  }
};

class DbToolModel : public ProgressSink {
 public:
  // `saveDialog` asks where to write the XML file (SaveDialog1).
  explicit DbToolModel(FileNameQuestion saveDialog);
  DbToolModel(const DbToolModel&) = delete;
  DbToolModel& operator=(const DbToolModel&) = delete;

  ListBoxState AliasList, TableList;
  std::vector<std::string> SQL_List;  // the SQL pane, one entry a line
  ListBoxState cbEncode;
  int Gauge1Progress = 0, Gauge1MaxValue = 100;
  CodeLines CodeList;
  platform::TQuery SrcQry;
  bool GridAttached = true;  // DBGrid1 shows SrcQry until ClearScreen detaches it
  int LowerPage = 0;         // 0 "Data View", 1 "Mobile DataSet Init SourceCode"

  void ListAliases();
  void ShowTablesOfSelectedAlias();
  void QuerySelectedTable();
  void OpenQuery();            // Open
  void CloseQuery();           // Close
  void ExportSelectedTable();  // Start Export
  void Leave();
  void ClearScreen();

  // Asks a running export to stop at its next record: it ends with an
  // error that says so, and writes no file.
  void StopExport() { stopRequested_ = true; }
  bool Exporting() const { return exporting_; }

  // The gauge, as the export pass drives it.
  void SetMaxValue(int maximum) override { Gauge1MaxValue = maximum; }
  void SetProgress(int progress) override { Gauge1Progress = progress; }
  void Step() override;

 private:
  // The gauge's maximum: the records of the query, counted by the database
  // unless all are read; -1 when it cannot tell.
  static int RecordCountOf(const platform::TQuery& query);

  FileNameQuestion saveDialog_;
  bool exporting_ = false, stopRequested_ = false;
};

// The error a stopped export ends with.
inline constexpr const char* ExportStoppedMessage = "The export was stopped before its end; no file was written";

}  // namespace dataexport
