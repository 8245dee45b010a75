#include "cli/send_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <memory>

#include "app/batch_send.h"
#include "cli/batch_report.h"
#include "cli/command_session.h"
#include "cli/exit_status.h"
#include "cli/interrupt_watch.h"
#include "cli/option_words.h"
#include "cli/trace_file.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "platform/utf8_path.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

// Larger than any screen a picture could be meant for.
constexpr int kLargestScreenSide = 10000;

// What fitting `request` asks for: with --fit every file that can be made for the handset is,
// without it the run says when that would help (unless it is to be quiet).
FitRequest FitRequestFor(const SendRequest& request, const AppSettings& settings) {
  FitRequest fit = FitRequestOf(settings, false);
  fit.mode = request.fit ? FitMode::kAlways : request.quiet ? FitMode::kNever : FitMode::kHint;
  if (request.pictureSize) fit.options.screen = request.pictureSize;
  if (request.trimSeconds) fit.options.sound.maxSeconds = *request.trimSeconds;
  fit.options.sound.normalise = request.normalise;
  return fit;
}

std::string SpeedList(const LineSpeeds& lineSpeeds) {
  std::string text;
  for (std::size_t i = 0; i < kMaxLineSpeeds; ++i)
    text += FormatText(i == 0 ? "%d" : " %d", static_cast<int>(lineSpeeds.speeds[i]));
  return text;
}

// Whether `trace` is one of `files`, under any spelling of its path: the trace is written while
// the files are read, so it would corrupt what is sent.
bool IsOneOf(const std::string& trace, const std::vector<std::string>& files) {
  const std::filesystem::path tracePath = Utf8Path(trace);
  std::error_code error;
  const std::filesystem::path traceName = std::filesystem::weakly_canonical(tracePath, error);
  return std::any_of(files.begin(), files.end(), [&](const std::string& file) {
    std::error_code ignored;
    const std::filesystem::path filePath = Utf8Path(file);
    return std::filesystem::equivalent(tracePath, filePath, ignored) ||
           (!error && std::filesystem::weakly_canonical(filePath, ignored) == traceName);
  });
}

}  // namespace

std::optional<PictureSize> ParsePictureSize(const std::string& text) {
  const std::size_t separator = text.find_first_of("xX");
  if (separator == std::string::npos) return std::nullopt;
  // digits alone, and a number of any length is only compared, never overflows
  const auto side = [](std::string_view digits) -> std::optional<int> {
    int value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front())) ||
        error != std::errc() || stop != end || value <= 0 || value > kLargestScreenSide)
      return std::nullopt;
    return value;
  };
  const std::string_view whole = text;
  const std::optional<int> width = side(whole.substr(0, separator));
  const std::optional<int> height = side(whole.substr(separator + 1));
  if (!width || !height) return std::nullopt;
  return PictureSize{.width = *width, .height = *height};
}

int RunSend(const SendRequest& request, const CommandSeams& seams) {
  SendStop stop;
  const InterruptWatch interrupts(stop);
  CommandSession session(request.language);
  StartUp& start = session.start();
  if (request.port) start.selection.port = *request.port;
  if (request.device) {
    const int port = RegisterSerialDevicePath(*request.device);
    if (port < 0) {
      ShowError(seams.console,
                FormatText("No port number is left for %s", request.device->c_str()));
      return kExitFailed;
    }
    start.selection.port = port;
  }

  if (request.patient) start.state.patientWaits = true;
  BatchReport report(seams.console, start.state, request.quiet);
  std::unique_ptr<TraceFile> trace;
  if (request.tracePath) {
    trace =
        std::make_unique<TraceFile>(*request.tracePath, seams.clock, report, report, start.state);
    if (!trace->IsOpen()) {
      ShowError(report, FormatText("Cannot write the trace file %s", request.tracePath->c_str()));
      return kExitFailed;
    }
    trace->Note(FormatText("port COM%d (%s), line speeds %s", start.selection.port,
                           SerialDevicePath(start.selection.port).c_str(),
                           SpeedList(start.settings.lineSpeeds).c_str()));
  }

  // a trace stands between the send and everything it uses
  UserInterface& ui = trace ? static_cast<UserInterface&>(*trace) : report;
  ProgressDisplay progress(ui);
  EventLog log;
  const SendContext send{.state = start.state,
                         .clock = trace ? static_cast<Clock&>(*trace) : seams.clock,
                         .ui = ui,
                         .trace = trace ? static_cast<LinkTrace&>(*trace) : NoLinkTrace(),
                         .progress = progress,
                         .frontEnd = trace ? static_cast<SendFrontEnd&>(*trace) : report,
                         .lineSpeeds = start.settings.lineSpeeds,
                         .log = log,
                         .stop = stop};
  BatchOptions options;
  options.kind = request.kind;
  options.title = request.title;
  options.fit = FitRequestFor(request, start.settings);
  const LineSpeeds stored = start.settings.lineSpeeds;
  const BatchResult result = RunBatch(request.files, options, send);
  // a run that reached no handset and tried no other speed has nothing to keep
  if (result.Sent() > 0 || start.settings.lineSpeeds != stored)
    SaveLineSpeeds(start.settings.lineSpeeds);
  report.Summarize(result);
  if (trace)
    trace->Note(FormatText("end: %d sent, %d failed; line speeds: %s", result.Sent(),
                           result.Failed(), SpeedList(start.settings.lineSpeeds).c_str()));
  if (result.stopped) return interrupts.ExitStatus();
  return result.Failed() == 0 ? kExitDone : kExitFailed;
}

void AddSendCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus) {
  auto request = std::make_shared<SendRequest>();
  CLI::App* send = app.add_subcommand("send", "Send object files to the handset, in order");
  send->footer(
      "The kind comes from each file's extension (graphic, then sound, then vcard list) and\n"
      "the title from its name. Port, language and line speeds are the stored settings (see\n"
      "config); --port, --device and --lang apply to this run only.\n\n"
      "For each file, stdout gets a line with its kind, format, port and speed when its\n"
      "download starts, then \"FILE: Successfull Download\"; a failure goes to stderr as\n"
      "\"FILE: <message>\". A summary line ends the run. With --quiet only the failures are\n"
      "printed.\n\n"
      "Fitting is off unless asked for: with --fit, a sound goes as 8 kHz mono handset ADPCM\n"
      "and a wallpaper or screensaver larger than the screen is scaled down to it (animations\n"
      "and other formats go as they are), each said on stdout with both sizes. Without it, a\n"
      "line on stderr says when fitting would make a file at least 4 times smaller.\n\n" +
      KindsFooter() +
      "\nSIGINT (Ctrl-C), SIGTERM or SIGHUP stops the file under way: the port is closed, so\n"
      "that the line hangs up, \"FILE: Interrupted\" and the summary are printed, and the run\n"
      "ends with 130 (143 for SIGTERM).\n\n"
      "Exit status: 0 every file sent, 1 any failed, 2 a usage error.");
  CLI::Option* port = send->add_option("--port", request->port, "COM port number for this run")
                          ->check(CLI::Range(1, kMaxPortNumber))
                          ->option_text("N");
  send->add_option("--device", request->device,
                   "serial device to use for this run, not with --port")
      ->excludes(port)
      ->option_text("PATH");
  AddWordOption(*send, "--kind", request->kind, KindWords(),
                "object kind of every file, instead of the extension's");
  AddWordOption(*send, "--lang", request->language, LanguageWords(),
                "message language for this run");
  send->add_option("--title", request->title, "object title (first 20 characters)")
      ->option_text("TEXT");
  send->add_option("--trace", request->tracePath,
                   "add every command, answer and pause to the end of this file (created when "
                   "missing, never emptied); not one of the files sent")
      ->option_text("FILE");
  send->add_flag("-q,--quiet", request->quiet, "print the failures only");
  send->add_flag("--patient", request->patient,
                 "wait the full fixed pauses for every answer and detect the handset for every "
                 "file, for a handset that needs them (this run only; see config --patient)");
  CLI::Option* fit = send->add_flag(
      "--fit", request->fit,
      "send each sound and picture made for the handset: a sound as 8 kHz mono ADPCM, a "
      "wallpaper or screensaver fitted to the screen of --picture-size or of the settings");
  send->add_option_function<std::string>(
          "--picture-size",
          [request](const std::string& text) { request->pictureSize = ParsePictureSize(text); },
          "screen to fit pictures to, instead of the stored picture size")
      ->check(CLI::Validator(
          [](std::string& text) {
            return ParsePictureSize(text) ? std::string() : "WxH expected, such as 128x160";
          },
          "WxH"))
      ->option_text("WxH");
  send->add_option("--trim", request->trimSeconds, "with --fit, keep a sound's first SECONDS")
      ->check(CLI::PositiveNumber)
      ->needs(fit)
      ->option_text("SECONDS");
  send->add_flag("--normalise", request->normalise,
                 "with --fit, bring a sound's loudest peak to full scale")
      ->needs(fit);
  send->add_option("FILE", request->files, "object files to send")->required();
  send->callback([request, seams, &exitStatus] {
    if (request->tracePath && IsOneOf(*request->tracePath, request->files))
      throw CLI::ValidationError("--trace",
                                 *request->tracePath + " is one of the files to send, not a trace");
    exitStatus = RunSend(*request, seams);
  });
}

}  // namespace vandrel
