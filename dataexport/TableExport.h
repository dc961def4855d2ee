#pragma once
// An export of a query's records into files: the records written as they
// are fetched, so that memory does not grow with the table, and the files
// appearing whole at the end or not at all. The command line and the data
// export dialog both export this way.
#include <string>

#include "dataexport/XmlExport.h"

namespace dataexport {

struct ExportFiles {
  std::string Output;    // the XML data file; "-", a FIFO or a device is written through
  std::string CodeFile;  // the generated code too, when named
};

// How many records `statement` gives on `alias`, counted by the database,
// for a progress's maximum; -1 when the database does not say.
int CountedRecords(const std::string& alias, const std::string& statement);

// Runs `statement` on the request's alias and writes every record it gives
// into `files.Output`, the generated code into `code` as it is made (and
// into `files.CodeFile` at the end). `recordCount` is the progress's maximum
// (-1: unknown). A value wider than its column's buffer makes the pass start
// again reading value by value; a warning said before is not said again.
// Throws DatabaseError or FileError: neither file is then touched, and
// `code` holds what was made up to the failure.
void ExportStatement(const ExportRequest& request, const std::string& statement, const ExportFiles& files,
                     int recordCount, CodeLines& code, ProgressSink& progress);

}  // namespace dataexport
