// The process's command-line parameters as the platform's run-time library
// presents them: ParamStr(0) is the program file, ParamStr(1) to
// ParamStr(ParamCount()) are the parameters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bellcut {

// Called by main with its arguments: argv[1..] become the parameters and the
// program file is argv[0] when that is an absolute path, otherwise the file
// the process runs (/proc/self/exe).
void SetProcessArguments(int argc, const char* const* argv);

// Takes the parameters from a raw Windows-style command line (as a launcher
// or a test passes it): split by SplitCommandLine, whose first item is the
// program name and is skipped. The program file stays as it was.
void SetCommandLine(std::string_view raw);

// Overrides the program file that ParamStr(0) reports.
void SetProgramFileName(std::string path);

// Number of parameters after the program file.
[[nodiscard]] int ParamCount();
// Parameter index (1-based); 0 gives the full path of the program file; any
// other index gives an empty text.
[[nodiscard]] std::string ParamStr(int index);

// Splits a raw command line the way the platform does: runs of characters
// with codes 1 to 32 separate items; double quotes group (they may open and
// close mid-item: a"b c"d is the one item "ab cd") and are removed; an item
// that is empty after that ("" alone) is skipped; a NUL ends the line.
[[nodiscard]] std::vector<std::string> SplitCommandLine(std::string_view raw);

}  // namespace bellcut
