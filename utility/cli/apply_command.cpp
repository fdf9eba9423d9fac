// apply: makes the reader's settings as given, writing only those that
// differ. A reader takes a limited number of setting writes, so a tool that
// runs every night must not write a value the reader already holds.
#include <algorithm>
#include <cstdio>

#include "outcome.h"
#include "pelorin_cli.h"
#include "setting_link.h"
#include "setting_values.h"

namespace pelorincli {
namespace {

struct Wanted {
  Setting setting;
  int value;
  nlohmann::json before;  // null until read, and for a value the reader should not hold
  std::string beforeWords;
  bool differs = false;
};

// The settings of the command line, each "NAME=VALUE", or the usage error.
std::string ParseWanted(const std::vector<std::string>& args, std::vector<Wanted>* wanted) {
  for (const std::string& arg : args) {
    const size_t equals = arg.find('=');
    const std::optional<Setting> setting =
        equals == std::string::npos ? std::nullopt : SettingByName(arg.substr(0, equals));
    if (!setting) {
      return "'" + arg + "': give settings as language=NAME, polling=N or turbo=On|Off";
    }
    const auto same = [&](const Wanted& w) { return w.setting == *setting; };
    if (std::ranges::any_of(*wanted, same)) {
      return std::string(SettingName(*setting)) + " is given twice";
    }
    const ParsedValue parsed = ParseSettingValue(*setting, arg.substr(equals + 1));
    if (!parsed.value) return parsed.error;
    wanted->push_back({*setting, *parsed.value, nullptr, {}, false});
  }
  return {};
}

std::string ByteWords(uint8_t byte) {
  char text[48];
  std::snprintf(text, sizeof text, "a value it should not hold (0x%02X)", byte);
  return text;
}

// Exit 1 for the failure of one setting, naming what was written before it.
void Fail(Setting setting, const Outcome& failed, const std::vector<std::string>& written,
          Outcome* outcome) {
  outcome->code = kExitNoAnswer;
  outcome->error = std::string(SettingName(setting)) + ": " + failed.error;
  if (written.empty()) {
    outcome->error += "; nothing was written";
  } else {
    std::string names;
    for (const std::string& name : written) names += (names.empty() ? "" : ", ") + name;
    outcome->error += "; written before the failure: " + names;
  }
}

// Asks once for all the writes, as `set` asks for one: false with the
// outcome of a refusal (no terminal and no --yes) or a declined write.
bool ConfirmWrites(const std::vector<Wanted>& wanted, const Options& options, Console& console,
                   Outcome* outcome) {
  CliPrompter prompter(console, options.yes);
  if (!options.yes && console.inputIsTerminal) {
    for (const Wanted& w : wanted) {
      if (!w.differs) continue;
      console.err << SettingName(w.setting) << ": " << w.beforeWords << " -> "
                  << ValueWords(w.setting, w.value) << "\n";
    }
  }
  if (prompter.ConfirmSettingWrite() == utility::DialogOutcome::Accepted) return true;
  if (prompter.WriteRefusedWithoutTerminal()) {
    outcome->code = kExitUsage;
    outcome->error = "a write changes the reader: add --yes to confirm it (there is no terminal "
                     "to ask on)";
  } else {
    outcome->code = kExitDeclined;
    outcome->error = "declined: nothing was written";
  }
  return false;
}

}  // namespace

Outcome Apply(const std::vector<std::string>& args, const Options& options, Console& console) {
  Outcome outcome;
  std::vector<Wanted> wanted;
  outcome.error = ParseWanted(args, &wanted);
  if (!outcome.error.empty()) {
    outcome.code = kExitUsage;
    return outcome;
  }
  if (!RequireReader(options, &outcome)) return outcome;

  nlohmann::json& settings = outcome.json["settings"] = nlohmann::json::object();
  outcome.json["changed"] = false;
  outcome.json["written"] = nlohmann::json::array();
  std::vector<std::string> written;
  for (Wanted& w : wanted) {
    const SettingRead read = ReadSetting(w.setting, options, console);
    if (read.outcome.code != kExitDone) {
      Fail(w.setting, read.outcome, written, &outcome);
      return outcome;
    }
    w.differs = read.value != w.value;
    if (read.value) {
      w.before = ValueJson(w.setting, *read.value);
      w.beforeWords = ValueWords(w.setting, *read.value);
    } else {
      w.beforeWords = ByteWords(read.byte);
    }
  }

  const bool anyDiffers = std::ranges::any_of(wanted, [](const Wanted& w) { return w.differs; });
  if (anyDiffers && !options.check && !ConfirmWrites(wanted, options, console, &outcome)) {
    return outcome;
  }
  for (const Wanted& w : wanted) {
    const std::string name(SettingName(w.setting));
    const nlohmann::json asked = ValueJson(w.setting, w.value);
    if (!w.differs) {
      settings[name] = {{"before", w.before}, {"after", asked}};
      outcome.text += name + ": " + w.beforeWords + ", as asked\n";
      continue;
    }
    if (options.check) {
      settings[name] = {{"before", w.before}, {"after", asked}};
      outcome.text += name + ": " + w.beforeWords + " -> " + ValueWords(w.setting, w.value) +
                      " (not written: --check)\n";
      outcome.json["changed"] = true;
      continue;
    }
    const Outcome write = WriteSetting(w.setting, w.value, options, console);
    if (write.code != kExitDone) {
      Fail(w.setting, write, written, &outcome);
      return outcome;
    }
    written.push_back(name);
    outcome.json["written"].push_back(name);
    outcome.json["changed"] = true;
    const SettingRead check = ReadSetting(w.setting, options, console);
    if (check.outcome.code != kExitDone) {
      Outcome failed = check.outcome;
      failed.error = "reading it back after the write: " + failed.error;
      Fail(w.setting, failed, written, &outcome);
      return outcome;
    }
    if (check.value != w.value) {
      Outcome failed;
      failed.error = "the reader holds " +
                     (check.value ? ValueWords(w.setting, *check.value) : ByteWords(check.byte)) +
                     " after " + ValueWords(w.setting, w.value) + " was written";
      Fail(w.setting, failed, written, &outcome);
      return outcome;
    }
    settings[name] = {{"before", w.before}, {"after", asked}};
    outcome.text += name + ": " + w.beforeWords + " -> " + ValueWords(w.setting, w.value) + "\n";
  }
  return outcome;
}

}  // namespace pelorincli
