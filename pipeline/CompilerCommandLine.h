#pragma once
#include <string>

#include "pipeline/BuildContext.h"

namespace pipeline {

// The checked entries of a catalogue as folder\entry, each followed by ";"
// unless it is the catalogue's last entry (checked or not).
std::string ReferenceList(const std::string& folder, const settings::CatalogueEntries& catalogue);

// The dccil command line made from the settings and the checked entries.
std::string CompilerCommandLine(BuildInputs& inputs);

}  // namespace pipeline
