#pragma once
// Patches that let the same Delphi source compile for the full framework and
// for the Compact Framework. Every edit is guarded so that a second build
// changes nothing more.
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/TextLines.h"
#include "runner/MessageList.h"

namespace pipeline {

// The ten lines (joined by lone CRs) that replace a "[STAThread]" line.
std::string ProjectSourcePatch(const std::string& dateStamp);

// Patches line `index` (which holds "[STAThread]") unless the line before it
// holds "{$IFNDEF CF}", and then writes all `lines` to `path`.
void PatchProjectSource(platform::FileSystem& files, platform::Lines& lines, size_t index, const std::string& path,
                        const std::string& dateStamp);

// Adds the unit files named in a project file ('Name.pas' in quotes) to
// `units`, in file order, duplicates kept. Nothing when the file is missing.
void GetProjectUnits(const platform::FileSystem& files, const std::string& projectFile, platform::Lines& units);

// The unit line rules for one line; the new text, or nothing when no rule
// edits it. `next` and `secondNext` are the following lines as read.
std::optional<std::string> AdaptUnitLine(std::string_view line, std::string_view next, std::string_view secondNext);

// The same rules over a unit's text, written out with CR LF after each line.
std::string AdaptUnitText(std::string_view text);

// True for text that is not single-byte: a UTF-16 or UTF-32 byte-order
// mark, or a zero in every other byte of its start.
bool IsWideText(std::string_view text);
// Throws platform::FileError naming `path` for such text: the build stops
// before it writes a byte of it.
void RefuseWideText(std::string_view text, const std::string& path);

// Adapts each unit in turn, by its bare name in the current folder, writing
// "--> AutoFix ..." lines; the rewrites are made durable as one batch.
// Throws platform::FileError naming the file that cannot be read or written.
void AdaptUnits(platform::FileSystem& files, const platform::Lines& units, runner::MessageList& messages);

}  // namespace pipeline
