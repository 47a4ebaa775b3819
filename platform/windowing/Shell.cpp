// The desktop's links to the outside: the beep and opening a document or
// address with the user's program.
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/windowing/WindowSystem.h"

namespace bellcut {

using windowing::WS;

BOOL MessageBeep(UINT) {
  ++WS().Beeps;
  WS().Backend().Beep();
  return TRUE;
}

std::intptr_t ShellExecute(HWND, const char* verb, const char* file, const char*, const char*, int) {
  if (file == nullptr) return SE_ERR_NOASSOC;
  if (verb != nullptr && strcasecmp(verb, "open") != 0) return SE_ERR_NOASSOC;
  const char* chosen = std::getenv("BELLCUT_OPEN");
  const std::string program = chosen != nullptr && *chosen != '\0' ? chosen : "xdg-open";
  const std::string argument = file;
  if (WS().ShellHook) {
    WS().ShellHook(program, argument);
    return 42;
  }
  // Everything the child needs is prepared before fork. The middle process
  // exits at once, so the opener is adopted by init and nobody waits for it
  // or leaves it a zombie; the address is one argument, never shell text.
  std::string programCopy = program;
  std::string argumentCopy = argument;
  char* argv[] = {programCopy.data(), argumentCopy.data(), nullptr};
  const pid_t middle = fork();
  if (middle < 0) return SE_ERR_NOASSOC;
  if (middle == 0) {
    const pid_t opener = fork();
    if (opener == 0) {
      execvp(argv[0], argv);
      _exit(127);
    }
    _exit(opener < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(middle, &status, 0) < 0) {
    if (errno != EINTR) return SE_ERR_NOASSOC;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 42 : SE_ERR_NOASSOC;
}

}  // namespace bellcut
