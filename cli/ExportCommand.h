#pragma once
#include <string>
#include <vector>

namespace cli {

// tidewell export: the data export without a window. Returns the exit
// status: 0 done, 1 a database or file error, 2 a usage error.
int RunExportCommand(const std::vector<std::string>& args);

// An --encoding value (an index 0 to 4, a name, or "none") as an index;
// -2 when it names no encoding.
int EncodingIndexOf(const std::string& value);

}  // namespace cli
