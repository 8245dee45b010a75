#include "tools/handset-sim/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <tuple>

#include "tools/handset-sim/answers.h"

namespace vandrel::sim {
namespace {

constexpr int kGoOn = -1;
constexpr std::size_t kMaxImeiDigits = 60;

struct FaultOptions {
  bool plainModem = false;
  bool noObjectCapability = false;
  bool noImei = false;
  bool noSim = false;
  std::optional<std::uint32_t> titleError;
  std::optional<std::uint32_t> objectError;
  std::vector<std::string> errorAt;
  std::vector<std::string> lateAnswer;
  std::string garbage;
  std::string longAnswer;
  std::string stallAt;
  std::string holdAt;
  std::string hangUpAt;
};

// Fills the table in the order of the help text; where two options address one step, the later
// one wins.
bool BuildFaultTable(const FaultOptions& chosen, FaultTable& table, std::string& error) {
  const Fault plainError{FaultKind::kError};
  if (chosen.plainModem) table.Set(Step::kIdentify, {FaultKind::kForeignIdentity});
  if (chosen.noObjectCapability) {
    for (const Step step : {Step::kObjectQuery, Step::kOpenSession, Step::kTitle, Step::kObject}) {
      table.Set(step, plainError);
    }
  }
  if (chosen.noImei) table.Set(Step::kImei, plainError);
  if (chosen.noSim) table.Set(Step::kSimCheck, plainError);
  if (chosen.titleError) table.Set(Step::kTitleData, {FaultKind::kCmeError, *chosen.titleError});
  if (chosen.objectError) {
    table.Set(Step::kObjectData, {FaultKind::kCmeError, *chosen.objectError});
  }
  for (const std::string& entry : chosen.errorAt) {
    if (!table.AddErrorSpec(entry, error)) return false;
  }
  for (const std::string& entry : chosen.lateAnswer) {
    if (!table.AddLateSpec(entry, error)) return false;
  }
  const std::pair<const std::string&, FaultKind> byStep[] = {
      {chosen.garbage, FaultKind::kGarbage}, {chosen.longAnswer, FaultKind::kLongAnswer},
      {chosen.stallAt, FaultKind::kStall},   {chosen.holdAt, FaultKind::kHold},
      {chosen.hangUpAt, FaultKind::kHangUp},
  };
  for (const auto& [where, kind] : byStep) {
    if (!where.empty() && !table.Add(where, {kind}, error)) return false;
  }
  return true;
}

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "OK" or a +CME error code, for --held-answer; the answer's bytes go to the profile.
bool BuildHeldAnswer(const std::string& given, const FaultOptions& faults, HandsetProfile& profile,
                     std::string& error) {
  if (given.empty()) return true;
  if (faults.holdAt.empty()) {
    error = "--held-answer needs --hold-at";
    return false;
  }
  if (given == "OK") {
    profile.heldAnswer = kOkAnswer;
    return true;
  }
  const std::optional<std::uint32_t> code = WholeNumber(given);
  if (!code) {
    error = "--held-answer takes OK or a +CME error code";
    return false;
  }
  profile.heldAnswer = CmeErrorAnswer(*code);
  return true;
}

}  // namespace

int ParseOptions(int argc, char** argv, SimOptions& options) {
  CLI::App app{
      "A simulated Kesta handset on a pseudo-terminal. Prints the path of the port to open as its "
      "first line of output, then answers AT commands and receives objects until it is stopped "
      "(SIGTERM, SIGINT) or, with --once, until one download has ended. Steps, for the options "
      "that take one: " +
          StepNameList() + ", or " + std::string(kEveryStep) +
          "; STEP@N misbehaves from the N-th arrival of that step's command on (default 1).",
      "handset-sim"};
  HandsetProfile& profile = options.profile;
  FaultOptions faults;
  std::string imei = profile.imei;
  std::optional<std::uint64_t> hangUpAfter;
  std::string heldAnswer;
  bool noEcho = false;

  app.add_option("--device", options.line.device,
                 "Serve on this device instead of a new pseudo-terminal")
      ->type_name("PATH");
  app.add_option("--link", options.linkPath,
                 "Also create this symbolic link to the port (a Wine dosdevices/comN), removed "
                 "on exit")
      ->type_name("PATH");
  app.add_option("--store", options.storeFolder,
                 "Keep each received object in this folder as object-NNNN.bin and add a line "
                 "(format, title, size, SHA-256) to its manifest.tsv")
      ->type_name("DIR");
  app.add_flag("--once", options.once,
               "End after the first download's closing command (AT+KDOBJ=1,0)");
  app.add_flag("-v,--verbose", options.verbose, "Trace every command and answer on stderr");
  app.add_flag("--keep-data-on-close", options.keepDataOnClose,
               "When the client closes the line in the middle of a title or an object, keep "
               "waiting for the rest (until 10 s without a byte) instead of discarding it at once");
  app.add_option("--imei", imei, "The IMEI given to AT+CGSN")
      ->type_name("DIGITS")
      ->capture_default_str();
  app.add_option("--free-memory", profile.freeMemory, "Free bytes reported by AT+KDOBJ?")
      ->type_name("BYTES")
      ->capture_default_str();
  app.add_flag("--no-echo", noEcho, "Start with command echo off (as after ATE0)");
  app.add_flag("--cts-low", options.ctsLow,
               "A dead port whose CTS is low: every write of the client waits, and nothing is read "
               "or answered");

  app.add_flag("--silent", profile.silent, "Never answer anything, not even an echo");
  app.add_flag("--plain-modem", faults.plainModem,
               "Answer ATI3 as a modem without the identification word");
  app.add_flag("--no-object-capability", faults.noObjectCapability,
               "Answer ERROR to AT+KDOBJ? and to every download command");
  app.add_flag("--no-imei", faults.noImei, "Answer ERROR to AT+CGSN");
  app.add_flag("--no-sim", faults.noSim, "Answer ERROR to AT&K3, as a handset without SIM card");
  app.add_option("--title-error", faults.titleError,
                 "Answer +CME ERROR: 100,CODE after the title bytes")
      ->type_name("CODE");
  app.add_option("--object-error", faults.objectError,
                 "Answer +CME ERROR: 100,CODE after the object bytes (the object is not kept)")
      ->type_name("CODE");
  app.add_option("--error-at", faults.errorAt,
                 "STEP or STEP=CODE: answer ERROR, or +CME ERROR: 100,CODE, at that step "
                 "(repeatable)")
      ->type_name("STEP[@N][=CODE]");
  app.add_option("--late-answer", faults.lateAnswer,
                 "STEP=MS: echo and answer that step's first command (with STEP@N its N-th) MS "
                 "milliseconds late, after the client has stopped waiting (repeatable)")
      ->type_name("STEP[@N]=MS");
  app.add_flag("--refuse-adpcm", profile.refuseAdpcm,
               "Refuse a WAV sound (format 1) in the handset ADPCM format (tag 0x0101) with "
               "+CME ERROR: 100,65525");
  app.add_option("--refuse-adpcm-after", profile.refuseAdpcmAfter,
                 "Refuse a WAV sound in the handset ADPCM format as soon as N of its bytes have "
                 "come (N >= " +
                     std::to_string(kMinAdpcmRefusalBytes) +
                     "): suspend the client's output, discard what it sent, answer +CME ERROR: "
                     "100,65525 and take commands again")
      ->type_name("N");
  app.add_option("--resume-after", profile.resumeAfterMs,
                 "How long --refuse-adpcm-after keeps the client's output suspended, in "
                 "milliseconds")
      ->type_name("MS")
      ->capture_default_str();
  CLI::Option* garbage =
      app.add_option("--garbage", faults.garbage,
                     "Answer noise without any answer word; --garbage=STEP for one step only")
          ->expected(0, 1)
          ->option_text("[=STEP[@N]]");
  CLI::Option* longAnswer =
      app.add_option(
             "--long-answer", faults.longAnswer,
             "Put more than 512 bytes of text before the answer; --long-answer=STEP for one "
             "step only")
          ->expected(0, 1)
          ->option_text("[=STEP[@N]]");
  const std::tuple<const char*, std::string*, const char*> stepOptions[] = {
      {"--stall-at", &faults.stallAt,
       "Stop answering (and echoing) from this step's command on; the line is still read"},
      {"--hold-at", &faults.holdAt,
       "Stop reading the line from this step's command on (at title-data and object-data from "
       "the CONNECT on), so that the client's writes back up"},
      {"--hangup-at", &faults.hangUpAt,
       "Drop the line (close the port) when this step's command arrives (at title-data and "
       "object-data when the data is complete), then end"},
  };
  for (const auto& [name, where, help] : stepOptions) {
    app.add_option(name, *where, help)->type_name("STEP[@N]");
  }
  app.add_option("--held-answer", heldAnswer,
                 "With --hold-at: answer OK, or +CME ERROR: 100,CODE, while holding the line (the "
                 "object is not kept), then hold on")
      ->type_name("OK|CODE");
  app.add_option("--held-answer-after", profile.heldAnswerAfterMs,
                 "How long after the hold has started --held-answer answers, in milliseconds")
      ->type_name("MS")
      ->capture_default_str();
  app.add_option("--split", options.line.splitBytes,
                 "Write the echo and answers N bytes at a time, pausing between the pieces")
      ->type_name("N");
  app.add_option("--split-pause", options.line.splitPauseMs,
                 "The pause between two pieces of --split, in milliseconds")
      ->type_name("MS")
      ->capture_default_str();
  app.add_option("--hangup-after", hangUpAfter,
                 "Drop the line (close the port) after N bytes of the object, then end")
      ->type_name("N");
  app.add_option("--baud", options.line.baud,
                 "Read no faster than a serial line at this speed would bring the bytes "
                 "(B/10 bytes per second); 0 reads at once")
      ->type_name("B")
      ->capture_default_str();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& failure) {
    return app.exit(failure);
  }
  // Given without a step, these misbehave at every step.
  for (auto [option, where] :
       {std::pair{garbage, &faults.garbage}, {longAnswer, &faults.longAnswer}}) {
    if (option->count() > 0 && where->empty()) *where = kEveryStep;
  }
  std::string error;
  if (imei.empty() || imei.size() > kMaxImeiDigits || !AllDigits(imei)) {
    error = "--imei takes 1 to " + std::to_string(kMaxImeiDigits) + " decimal digits";
  } else if (profile.refuseAdpcmAfter && *profile.refuseAdpcmAfter < kMinAdpcmRefusalBytes) {
    error = "--refuse-adpcm-after needs at least " + std::to_string(kMinAdpcmRefusalBytes) +
            " bytes to see the format tag";
  } else if (BuildFaultTable(faults, profile.faults, error) &&
             BuildHeldAnswer(heldAnswer, faults, profile, error)) {
    profile.imei = imei;
    profile.echo = !noEcho;
    profile.hangUpAfter = hangUpAfter;
    options.line.clientFlowControl = options.ctsLow || profile.refuseAdpcmAfter.has_value();
    return kGoOn;
  }
  std::fprintf(stderr, "handset-sim: %s\n", error.c_str());
  return EXIT_FAILURE;
}

}  // namespace vandrel::sim
