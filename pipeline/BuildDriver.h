#pragma once
// One complete, synchronous build of the active project for the Compact
// Framework, from the checks to the compiler's messages.
#include <string>

#include "pipeline/BuildContext.h"
#include "pipeline/BuildOutcome.h"
#include "pipeline/ResourceRecompile.h"

namespace pipeline {

inline constexpr const char* SaveFirstMessage = "Before compile the project, Save it first !!";
inline constexpr const char* EmptyAssemblyPathMessage = "MS Assembly LinkPath Is Empty!!";
inline constexpr const char* NoExtensionMessage = "CurrentEditor = nil !!";
inline constexpr const char* Banner = "Tidewell!! V2.0 Test by the TidewellKit developers";
inline constexpr const char* SearchingLine = "...Searching Project Source Code.... ";

struct BuildOptions {
  ResourceWait Resources;
  int AfterCompileMs = 1500;
  std::string DateStamp;  // empty: today, as yyyy/mm/dd
};

// Builds and returns what happened. A check that stops the build shows its
// message through the host and is the outcome's Stopped. Throws
// platform::FileError when the project source or a unit cannot be read or
// written; the build then ends where it stands, and the observer hears
// BuildEnded with the error as Stopped before the error passes on.
BuildOutcome BuildProject(BuildInputs& inputs, BuildHost& host, BuildObserver& observer,
                          const BuildOptions& options = {});

}  // namespace pipeline
