#include "app/Program.h"

#include <cstdio>
#include <string_view>

#include "app/FileNames.h"
#include "app/Mainwindow1.h"
#include "platform/base/Exceptions.h"
#include "platform/base/Params.h"
#include "platform/base/SysUtils.h"
#include "platform/controls/Forms.h"

#ifndef BELLCUT_VERSION
#define BELLCUT_VERSION "0.0.0"
#endif

namespace bellcut {
namespace {

constexpr std::string_view kHelp =
    "Usage: bellcut PICTURE\n"
    "\n"
    "Shows PICTURE (.bmp, .jpg or .jpeg) through a bell-shaped window, flies the\n"
    "window to the centre of the screen, and saves what it shows as a quality-80\n"
    "JPEG named \"\xE3\x82\xBF\xE3\x83\xAB\xE3\x83\x8D\xE3\x83\xA2 \xEF\xBD\x9E <name>.jpg\" beside PICTURE.\n"
    "Every parameter is part of the path (a path with blanks may come split).\n"
    "Without parameters it explains its use and offers the information page.\n"
    "\n"
    "Environment:\n"
    "  BELLCUT_SCREEN=WxH   size of the headless screen (default 1920x1080)\n"
    "  BELLCUT_ANSWER=yes|no  answer to the question when stdin is no terminal\n"
    "  BELLCUT_OPEN=PROGRAM program that opens the information page (xdg-open)\n"
    "\n"
    "Exit status: 0, or 1 when an error was displayed.\n";

}  // namespace

int RunApplication() {
  try {
    Application.Initialize();
    Application.SetTitle(ApplicationTitle());
    Application.CreateForm(MainForm1);
    Application.Run();
  } catch (const Exception& e) {
    Application.ShowException(e);
  } catch (...) {
    Application.ShowException(Exception(""));
  }
  return Application.ExitCode();
}

int BellcutMain(int argc, const char* const* argv) {
  SetProcessArguments(argc, argv);
  // A single --help or --version is an option only when no file has that name.
  if (argc == 2 && !FileExists(argv[1])) {
    const std::string_view arg = argv[1];
    if (arg == "--help") {
      std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("bellcut %s\n", BELLCUT_VERSION);
      return 0;
    }
  }
  Application.SetCloseWhenIdle(true);
  return RunApplication();
}

}  // namespace bellcut
