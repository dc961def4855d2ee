#pragma once
// Many projects in one `tidewell build`: each built by a `tidewell build` of
// its own (a build makes its project's folder the current one), up to a
// number at once, each one's output printed as one block.
#include <string>
#include <vector>

#include "cli/CommandOptions.h"

namespace cli {

struct ProjectBatch {
  std::vector<std::string> Projects;  // as each build takes them
  int Jobs = 1;                       // builds at once
  // The options each build is given (the message format, --set, ...).
  std::vector<std::string> BuildOptions;
  // Headings and the summary go to standard error, keeping standard output
  // a stream of records (json).
  bool HeadingsOnStandardError = false;
};

// Builds each project, printing "==> PROJECT <==" and its build's output as
// one block as each ends (with one at a time, as it goes), then a summary
// line ("2 built, 1 failed"). The worst status of all: 1 over 0, 2 or 3
// where a build could not start. An ending signal is passed on to the
// builds that run, no other starts, and this process ends as the signal
// says once they have.
ExitStatus BuildEach(const ProjectBatch& batch);

}  // namespace cli
