// pelorin-cli: Pelorin's functions without a screen, for SSH sessions and
// scripts. It drives the same operations as the dialog (utility_core,
// utility_settings, utility_script) on controls held in memory.
//
//   pelorin-cli status                     the reader interfaces found
//   pelorin-cli version|language|polling|turbo   a review, the value in words
//   pelorin-cli set language NAME|NUMBER   writes (need --yes or a yes on the terminal)
//   pelorin-cli set polling N
//   pelorin-cli set turbo on|off
//   pelorin-cli send TEXT                  one typed command and its answer
//   pelorin-cli send-hex "52 24"           one hexadecimal command and its answer
//   pelorin-cli run FILE                   a script, up to its END line
//   pelorin-cli apply language=French polling=4 turbo=off
//                                          writes only the settings that differ
//
// Options: --json, --yes, --check, --path PATH, --serial NUMBER, --help.
#pragma once

#include <string>
#include <vector>

#include "console.h"

namespace pelorincli {

constexpr int kExitDone = 0;
constexpr int kExitNoAnswer = 1;  // the reader did not answer or refused; apply: a read,
                                  // write or check failed
constexpr int kExitUsage = 2;
constexpr int kExitNoReader = 3;
constexpr int kExitDeclined = 4;      // a write declined on the terminal: nothing written
constexpr int kExitInterrupted = 130;  // Ctrl-C, as a shell reports SIGINT

// Runs one command; `args` excludes the program name.
int Run(const std::vector<std::string>& args, Console& console);

}  // namespace pelorincli
