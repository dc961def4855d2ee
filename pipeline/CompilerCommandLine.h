#pragma once
#include <string>

#include "pipeline/BuildContext.h"
#include "platform/TextLines.h"

namespace pipeline {

// The checked entries of a catalogue as folder\entry, each followed by ";"
// unless it is the catalogue's last entry (checked or not).
std::string ReferenceList(const std::string& folder, const settings::CatalogueEntries& catalogue);

// The dccil command line made from the settings and the checked entries.
std::string CompilerCommandLine(BuildInputs& inputs);

// What is wrong when a text that goes between quotes into a tool's command
// line (the compiler's folder, the project's folder and name, the options'
// paths and version, the checked catalogue entries, the resource names of
// the project file's lines) holds a '"', which would end its quotes and
// give the tool other arguments; empty when none does.
std::string QuoteInToolArguments(BuildInputs& inputs, const platform::Lines& projectLines);

}  // namespace pipeline
