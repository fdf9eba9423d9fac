// Pelorin, the configuration utility for KAVRO USB KB readers: its main
// dialog runs modally, in the utility's colours; the process ends when it
// closes, whatever its result.
#include <windows.h>

#include "dialog_colours.h"
#include "utility/session.h"
#include "utility_program.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int) {
  utility::DialogColours colours;
  utility::Session session;
  utility::UtilityProgram program(module, session);
  program.RunModal();
  return 0;
}
