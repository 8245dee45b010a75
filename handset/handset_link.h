#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "handset/answer.h"
#include "handset/line_speeds.h"
#include "handset/link_trace.h"
#include "handset/wait_policy.h"
#include "objects/event_log.h"
#include "platform/clock.h"
#include "platform/user_interface.h"
#include "runtime/progress_display.h"

namespace vandrel {

class MediaFile;

// What a link is handed when it is created: the clock its waits run on, the user interface it
// reports to and shows progress through, the log of the send it serves, the trace of what it does
// on the line, and how it waits for the handset.
struct LinkContext {
  Clock& clock;
  UserInterface& ui;
  EventLog& log;
  LinkTrace& trace = NoLinkTrace();
  WaitPolicy waits{};
};

// The one-shot "AT" probe's wait for its answer.
inline constexpr std::uint32_t kProbeWaitMs = 500;

// The conversation with one handset over one COM port: strictly half-duplex, a command written,
// its answer polled for and classified, the port's threads suspended until the next write.
// One link converses at a time. Every failure is reported to the user by the link itself.
class HandsetLink {
 public:
  // Without connect mode nothing is done (the port search probes ports itself).
  explicit HandsetLink(const LinkContext& context) : context_(context) {}
  // Connect mode: detects the handset on `portNumber` with `lineSpeeds` and reports a failure
  // (the diagnostic lines when there are any).
  HandsetLink(const LinkContext& context, int portNumber, LineSpeeds& lineSpeeds);
  virtual ~HandsetLink();
  HandsetLink(const HandsetLink&) = delete;
  HandsetLink& operator=(const HandsetLink&) = delete;

  // Queues raw bytes; reports the driver's state; on failure sets `event.code` to 19.
  bool SendBytes(std::span<const std::uint8_t> data, Event& event);
  bool SendBytes(std::string_view text, Event& event);
  // Collects and classifies the answer to the `expectedSize` bytes just written (0: the one-shot
  // probe). False with `event.code` saying why.
  bool AwaitAnswer(std::size_t expectedSize, AnswerStatus& status, Event& event);
  // Shows `event` (or `log` instead when it is not empty) and resets it to "nothing to report".
  void ReportEvent(Event& event, std::string_view log);
  void ReportDriverError(int driverCode);
  // Closes the port once its last bytes have gone (at most 500 ms); false when the close failed
  // while connected.
  bool CloseLink();
  // Reads and drops an answer still on its way, until its final line has ended or the line has
  // been quiet for `quietMs` (at most four times that in all): the closing command's answer on a
  // kept link, or the answer to a try that came after an earlier try's late one, so that the
  // next exchange starts clean.
  void DropLateAnswer(std::uint32_t quietMs);

  // Finds and identifies a capable handset on `portNumber`, trying each speed of the list.
  bool Detect(int portNumber, LineSpeeds& lineSpeeds, std::string& log);
  // The identification without the "AT" proof and the IMEI, for the search over all ports.
  bool QuickProbe(int portNumber, std::string& modelName, LineSpeeds& lineSpeeds, std::string& log);
  const std::string& GetImei() const { return imei; }
  // Whether the handset on the open port still answers "AT+CGSN" with the IMEI the detection
  // read, within one identification wait: a batch's kept link is checked so before each file.
  bool SameHandset();
  // Chooses the rendition of the next download: the ADPCM one for a sound that has one
  // (`adpcmRendition`), unless the handset's ADPCM record says it refused one before.
  void ChooseRendition(bool adpcmRendition);
  // Transfers `file` into the connected handset, showing each phase on `progress`; reports every
  // failure itself. A refused ADPCM rendition is recorded for the handset and followed once by
  // the file as it is.
  void Download(const MediaFile& file, std::string_view displayName, ProgressDisplay& progress);

  // Whether the user stopped the send on the link's port (see SerialStop): every exchange fails
  // then without a message of its own.
  bool Stopped() const;

  bool noAnswer = false;
  bool connected = false;
  std::int32_t port = 0;
  // The line speed the handset was found at.
  std::int32_t lineSpeed = 0;
  std::string imei;
  bool useAdpcm = false;
  // The event of the download under way, and the answer status that carries the free memory the
  // handset reported.
  Event currentEvent{kEventNothing, 0, 0, {}, {}};
  AnswerStatus downloadStatus;

 private:
  // Writes `command` once and reads its answer into `answer` within the identification wait;
  // returns the number of bytes read.
  std::size_t IdentificationTry(std::string_view command, std::span<std::uint8_t> answer);
  bool IdentificationStep(std::string_view command, std::span<std::uint8_t> answer,
                          std::size_t& length);
  // How far the identification got: no answer to "ATI3", a step refused, or every step passed.
  enum class Identified { kSilent, kRefused, kPassed };
  Identified Identify(std::string& log, int openResult, bool readImei);
  // Up to ten "AT" proofs; whether one was answered.
  bool ProveHandset();
  // What one speed's attempt found: try the next speed, the handset, or the end of the search.
  enum class SpeedAttempt { kNext, kFound, kOver };
  // Opens the port at each speed of `lineSpeeds` in turn, after a pause, with the read time-out
  // `readTimeoutMs` gives, and hands the open's result to `attempt`; a found speed goes to the
  // front of the list. False when no attempt found the handset.
  bool SearchSpeeds(LineSpeeds& lineSpeeds, std::string& log,
                    int (*readTimeoutMs)(std::int32_t speed),
                    const std::function<SpeedAttempt(int openResult)>& attempt);
  // How a download's command sequence ended: the object went, a step failed (`currentEvent` says
  // why), or the handset refused the ADPCM rendition.
  enum class Transfer { kSent, kFailed, kRenditionRefused };
  Transfer TransferObject(const MediaFile& file, std::string_view displayName,
                          ProgressDisplay& progress);

  LinkContext context_;
};

}  // namespace vandrel
