#include "cli/send_command.h"

#include <CLI/CLI.hpp>
#include <map>
#include <memory>

#include "app/batch_send.h"
#include "cli/command_session.h"
#include "cli/progress_ticker.h"
#include "cli/trace_file.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

const std::map<std::string, int> kKindNames{
    {"graphic", kGraphic}, {"sound", kSound}, {"animation", kAnimation}, {"vcard", kVCard}};

std::string SpeedList(const LineSpeeds& lineSpeeds) {
  std::string text;
  for (std::size_t i = 0; i < kMaxLineSpeeds; ++i)
    text += FormatText(i == 0 ? "%d" : " %d", static_cast<int>(lineSpeeds.speeds[i]));
  return text;
}

}  // namespace

int RunSend(const SendRequest& request) {
  CommandSession session(request.language);
  if (request.port) session.selection.port = *request.port;
  if (request.device) {
    const int port = RegisterSerialDevicePath(*request.device);
    if (port < 0) {
      ShowError(FormatText("No port number is left for %s", request.device->c_str()));
      return kExitSendFailed;
    }
    session.selection.port = port;
  }

  std::unique_ptr<TraceFile> trace;
  std::unique_ptr<InstalledTrace> installed;
  if (request.tracePath) {
    trace = std::make_unique<TraceFile>(*request.tracePath, TheClock(), TheUserInterface());
    if (!trace->IsOpen()) {
      ShowError(FormatText("Cannot write the trace file %s", request.tracePath->c_str()));
      return kExitSendFailed;
    }
    trace->Note(FormatText("port COM%d (%s), line speeds %s", session.selection.port,
                           SerialDevicePath(session.selection.port).c_str(),
                           SpeedList(session.settings.lineSpeeds).c_str()));
    installed = std::make_unique<InstalledTrace>(*trace);
  }

  BatchOptions options;
  options.kind = request.kind;
  options.title = request.title;
  ProgressTicker ticker;
  const BatchResult result = RunBatch(request.files, options, session.settings.lineSpeeds, ticker);
  SaveLineSpeeds(session.settings.lineSpeeds);
  if (trace)
    trace->Note(FormatText("end: %d sent, %d failed; line speeds saved: %s", result.sent,
                           result.failed, SpeedList(session.settings.lineSpeeds).c_str()));
  return result.failed == 0 ? kExitAllSent : kExitSendFailed;
}

void AddSendCommand(CLI::App& app, int& exitStatus) {
  auto request = std::make_shared<SendRequest>();
  CLI::App* send = app.add_subcommand("send", "Send object files to the handset, in order.");
  send->footer(
      "The kind comes from each file's extension (graphic, then sound, then vCard list) and the "
      "title from its name. Port, language and line speeds are the window's settings; --port, "
      "--device and --lang apply to this run only.\n"
      "Exit status: 0 every file sent, 1 any failed, 2 a usage error.");
  CLI::Option* port = send->add_option("--port", request->port, "COM port number")
                          ->check(CLI::Range(1, kMaxPortNumber));
  send->add_option("--device", request->device, "serial device to use (given a port number)")
      ->excludes(port);
  send->add_option("--kind", request->kind, "graphic, sound, animation or vcard")
      ->transform(CLI::CheckedTransformer(kKindNames));
  send->add_option("--lang", request->language, "message language: en or fr")
      ->transform(CLI::CheckedTransformer(LanguageNames()));
  send->add_option("--title", request->title, "object title (first 20 characters)");
  send->add_option("--trace", request->tracePath,
                   "write every command, answer and pause to this file");
  send->add_option("FILE", request->files, "object files to send")->required();
  send->group(kHandsetCommandsGroup);
  send->callback([request, &exitStatus] { exitStatus = RunSend(*request); });
}

}  // namespace vandrel
