// Form resources compiled into the program (generated from resources/ at
// build time by tools/formembed).
#pragma once

#include <string_view>

namespace bellcut::resources {

// The main window's form text, the bell picture included as picture data.
extern const std::string_view kMainForm1Text;

}  // namespace bellcut::resources
