#include "platform/base/Params.h"

#include <unistd.h>

#include <optional>

#include "platform/base/NeverDestroyed.h"

namespace bellcut {
namespace {

struct ProcessParameters {
  std::optional<std::string> programFile;  // unset: ask the kernel when first needed
  std::vector<std::string> parameters;
};

// Never destroyed: the error display shown while forms are destroyed at exit
// still takes its caption from the program's name.
ProcessParameters& State() {
  static NeverDestroyed<ProcessParameters> state;
  return *state;
}

std::string RunningProgramFile() {
  std::string path(4096, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < path.size()) {
      path.resize(static_cast<std::size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);  // may have been cut short: try again with room
  }
}

bool SeparatesItems(unsigned char c) { return c >= 1 && c <= 32; }

}  // namespace

void SetProcessArguments(int argc, const char* const* argv) {
  ProcessParameters& state = State();
  state.parameters.clear();
  state.programFile.reset();
  if (argv == nullptr || argc < 1) return;
  if (argv[0] != nullptr && argv[0][0] == '/') state.programFile = argv[0];
  for (int i = 1; i < argc && argv[i] != nullptr; ++i) state.parameters.emplace_back(argv[i]);
}

void SetCommandLine(std::string_view raw) {
  std::vector<std::string> items = SplitCommandLine(raw);
  if (!items.empty()) items.erase(items.begin());
  State().parameters = std::move(items);
}

void SetProgramFileName(std::string path) { State().programFile = std::move(path); }

int ParamCount() { return static_cast<int>(State().parameters.size()); }

std::string ParamStr(int index) {
  ProcessParameters& state = State();
  if (index == 0) {
    if (!state.programFile) state.programFile = RunningProgramFile();
    return *state.programFile;
  }
  if (index < 0 || index > ParamCount()) return {};
  return state.parameters[static_cast<std::size_t>(index - 1)];
}

std::vector<std::string> SplitCommandLine(std::string_view raw) {
  raw = raw.substr(0, raw.find('\0'));
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i < raw.size()) {
    while (i < raw.size() && SeparatesItems(static_cast<unsigned char>(raw[i]))) ++i;
    if (i == raw.size()) break;
    std::string item;
    bool quoted = false;
    // Double-byte characters need no care here: no lead or trail byte of
    // either code page is a quote or a separator.
    for (; i < raw.size() && (quoted || !SeparatesItems(static_cast<unsigned char>(raw[i]))); ++i) {
      if (raw[i] == '"') {
        quoted = !quoted;
      } else {
        item.push_back(raw[i]);
      }
    }
    if (!item.empty()) items.push_back(std::move(item));
  }
  return items;
}

}  // namespace bellcut
