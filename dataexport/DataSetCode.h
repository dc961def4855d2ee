#pragma once
// The source of TWinForm.Init_DataSet: a procedure that adds to Dataset1 a
// DataTable matching the exported table, one typed column per supported
// field, with uniqueness, length and primary-key lines.
#include <string>
#include <vector>

#include "dataexport/RecordSource.h"

namespace dataexport {

using CodeLines = std::vector<std::string>;

// The ten header lines; `dateStamp` is today's date as yyyy/mm/dd.
void AddHeaderLines(CodeLines& code, const std::string& tableName, const std::string& dateStamp);
// The lines of the field at `position`; `keyCounter` counts the index fields
// met so far (-1 before the first) and has no upper limit.
void AddFieldLines(CodeLines& code, const FieldInfo& field, int position, int& keyCounter);
void AddClosingLines(CodeLines& code);

}  // namespace dataexport
