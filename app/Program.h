// The program's start-up: the application object, the title, the main window
// from its resource, the message loop, and the error display around them.
#pragma once

namespace bellcut {

// Runs bellcut with main's arguments (every parameter is part of the dropped
// path; configuration comes from the environment). On the headless desktop
// the run ends by itself once nothing more can happen without a user.
// Returns the exit status: 1 when an error display was shown, else 0.
int BellcutMain(int argc, const char* const* argv);

// Start-up after the arguments are in place: Initialize, Title, CreateForm,
// Run, with the application's error display around them. Returns the exit
// status as BellcutMain does.
int RunApplication();

}  // namespace bellcut
