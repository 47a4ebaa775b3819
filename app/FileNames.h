// The names the program builds from its command line: the dropped file's
// name rejoined from the parameters, the accepted extensions, the output
// file's path, the information page's address and the report text.
//
// Everything works on texts in the active code page, with the path functions
// of the run-time library, so delimiters and the extension dot are found on
// character boundaries only. Each function takes the path convention so that
// the Windows-style examples the program is documented with can be checked
// on any system.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/SysUtils.h"

namespace bellcut {

// Fixed texts, converted from their UTF-8 source into the active code page
// at each call (the code page can be switched while a process runs).
[[nodiscard]] std::string OutputPrefix();        // "タルネモ ～ "
[[nodiscard]] std::string HintText();            // how the program is used
[[nodiscard]] std::string QuestionText();        // whether to open the information page
[[nodiscard]] std::string ApplicationTitle();    // "ヨルヴァネ"
inline constexpr std::string_view kInfoPageBase = "http://example.com/info.php?pf=w&sn=";

// The parameters 1..ParamCount joined, each followed by one blank: a path
// that the command line split at its blanks comes back whole, with one
// trailing blank.
[[nodiscard]] std::string JoinParameters();

// Whether the extension as extracted from the joined name (trailing blank
// included) is ".BMP ", ".JPG " or ".JPEG " in any letter case.
[[nodiscard]] bool IsAcceptedExtension(std::string_view FileExt);

// Where the capture of FileName (the joined name, trailing blank included)
// is saved: its folder, then the prefix, then its file name with the
// extension replaced by ".jpg".
[[nodiscard]] std::string OutputFileName(std::string_view FileName,
                                         PathConvention Convention = DefaultPathConvention());

// The information page's address for the program file ProgramFile: the
// fixed base followed by the file's name without folder and extension, as
// it is (no escaping).
[[nodiscard]] std::string InfoPageAddress(std::string_view ProgramFile,
                                          PathConvention Convention = DefaultPathConvention());

// "<width> x <height> のタルネモ形式で保存しました。"
[[nodiscard]] std::string ReportText(int Width, int Height);

}  // namespace bellcut
