#include "utility_program.h"

namespace utility {

UtilityProgram::UtilityProgram(HINSTANCE module, Session& session)
    : prompter_(module),
      window_(module, session, prompter_),
      settings_(window_.controller().Context()),
      script_(window_.controller().Context()) {
  prompter_.SetOwner([this] { return window_.Handle(); });
  window_.controller().SetSettingHandler(&settings_);
  window_.controller().SetScriptHandler(&script_);
}

}  // namespace utility
