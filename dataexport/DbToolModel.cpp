#include "dataexport/DbToolModel.h"

#include "dataexport/TableExport.h"
#include "dataexport/TableQuery.h"

namespace dataexport {

DbToolModel::DbToolModel(FileNameQuestion saveDialog) : saveDialog_(std::move(saveDialog)) {
  cbEncode.Items.assign(std::begin(Encodings), std::end(Encodings));
}

void DbToolModel::ListAliases() {
  AliasList.Items.clear();
  AliasList.ItemIndex = -1;
  AliasList.Items = platform::Session.GetAliasNames();
}

void DbToolModel::ShowTablesOfSelectedAlias() {
  const std::string* alias = AliasList.Selected();
  if (!alias) return;
  SrcQry.Close();
  SrcQry.DatabaseName = *alias;
  TableList.Items.clear();
  TableList.ItemIndex = -1;
  TableList.Items = platform::Session.GetTableNames(*alias);
}

void DbToolModel::QuerySelectedTable() {
  const std::string* table = TableList.Selected();
  if (!table) return;
  Gauge1Progress = 0;
  SrcQry.Close();
  SQL_List = {TableStatement(SrcQry.DatabaseName, *table)};
  SrcQry.Close();
  // The query takes the pane's whole text, here and nowhere else.
  SrcQry.SQL = SQL_List;
}

void DbToolModel::OpenQuery() {
  if (!SrcQry.Active()) SrcQry.Open();
  Gauge1Progress = 0;
}

void DbToolModel::CloseQuery() {
  SrcQry.Close();
  Gauge1Progress = 0;
}

void DbToolModel::ExportSelectedTable() {
  if (exporting_ || !SrcQry.Active()) return;  // one export at a time, of an open query
  SrcQry.First();
  const std::optional<std::string> file = saveDialog_();
  if (!file) return;
  ExportRequest request;
  if (const std::string* alias = AliasList.Selected()) request.AliasName = *alias;
  if (const std::string* table = TableList.Selected()) request.TableName = *table;
  request.EncodingIndex = cbEncode.ItemIndex;
  exporting_ = true;
  stopRequested_ = false;
  struct Done {
    bool& exporting;
    ~Done() { exporting = false; }
  } done{exporting_};
  // The records are read again as they are written, not from those the
  // grid keeps: memory does not grow with the table.
  const std::string statement = SrcQry.StatementText();
  ExportStatement(request, statement, {*file, {}}, RecordCountOf(SrcQry), CodeList, *this);
}

int DbToolModel::RecordCountOf(const platform::TQuery& query) {
  // -1: the gauge then counts without an end.
  return query.CanFetchMore() ? CountedRecords(query.DatabaseName, query.StatementText()) : query.RecordCount();
}

void DbToolModel::Step() {
  ++Gauge1Progress;
  if (stopRequested_) throw platform::DatabaseError(ExportStoppedMessage);
}

void DbToolModel::Leave() { SrcQry.Close(); }

void DbToolModel::ClearScreen() {
  SrcQry.Close();
  SrcQry.SQL.clear();
  AliasList = {};
  TableList = {};
  SQL_List.clear();
  Gauge1Progress = 0;
  GridAttached = false;
}

}  // namespace dataexport
