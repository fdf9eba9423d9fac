#include "gui_common/desktop_check.h"

#include "hidhost/desktop.h"

namespace guicommon {

bool CheckDesktop(const std::string& program, std::ostream& err) {
  if (hidhost::HasDesktop()) return true;
  err << program << " needs a desktop, and there is none here (neither DISPLAY nor "
      << "WAYLAND_DISPLAY is set): try the suite without one with pelorin-cli on the simulated "
      << "reader (HID_SIMULATION=reader pelorin-cli show), or start " << program
      << " under xvfb-run\n";
  return false;
}

}  // namespace guicommon
