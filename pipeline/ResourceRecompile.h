#pragma once
// Recompiling the .resx resources a project file names, with the resource
// compiler of the targeted framework, before the compiler runs.
#include <string>

#include "pipeline/BuildContext.h"

namespace pipeline {

struct ResourceWait {
  int TimeoutMs = 60000;  // a hung resource compiler never hangs the build
  int IntervalMs = 50;
};

// The name between the nearest single quote before the first `extension`
// of the line and the next quote (or the line's end).
std::string QuotedResourceName(const std::string& line, const std::string& extension);

// The resource compiler's command line for one pair (full paths).
std::string ResGenCommandLine(const std::string& resGen, const std::string& resx, const std::string& resources);

// Handles one project-source line: when it names a .resources/.resx pair,
// recompiles it (or copies the .resx when no resource compiler exists) and
// waits for the compiled file. Returns false when the wait ran out.
bool RecompileResource(const std::string& line, BuildInputs& inputs, BuildHost& host, const ResourceWait& wait);

}  // namespace pipeline
