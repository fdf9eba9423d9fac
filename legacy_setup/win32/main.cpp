// Skelmar.exe: the setup tool for readers of the older generation.
#include <windows.h>

#include "skelmar/setup_dialog.h"
#include "startup.h"
#include "win32_prompts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  skelmar::Win32Prompts prompts(skelmar::kBatchFileFilter);
  return skelmar::RunSetupTool(instance, prompts);
}
