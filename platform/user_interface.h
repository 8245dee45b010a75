#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// The four message boxes: error (stop icon), warning (exclamation), notice (information) and plain.
enum class BoxKind { kError, kWarning, kNotice, kPlain };

// How the program speaks to the user. The window shows real boxes and a progress dialog, the
// command line prints, tests record. Every call may come from the send job's worker thread.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Returns when the user has dismissed the box.
  virtual void ShowBox(BoxKind kind, std::string_view text) = 0;
  // The progress display of a send: `caption` (the dialog's title line), `phase` (the group title),
  // and the line "Downloaded: ..." already filled in; `percent` is 0..100.
  virtual void ShowProgress(std::string_view caption, std::string_view phase) = 0;
  virtual void UpdateProgress(std::uint32_t percent, std::string_view line) = 0;
  virtual void FinishProgress() = 0;
  // A yes/no question; true for yes. Returns when the user has answered. An interface that has
  // no one to ask answers no.
  virtual bool Ask(std::string_view question) {
    (void)question;
    return false;
  }
};

// The error box; an empty text shows nothing (events that only count produce no text).
void ShowError(UserInterface& ui, std::string_view text);
void ShowWarning(UserInterface& ui, std::string_view text);
void ShowNotice(UserInterface& ui, std::string_view text);
void ShowPlain(UserInterface& ui, std::string_view text);

// Errors and warnings to stderr, notices and plain texts to stdout; the progress as a bar on
// stderr when stderr is a terminal, nothing otherwise. It has no one to ask: a question is
// answered no.
class ConsoleUserInterface final : public UserInterface {
 public:
  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;

 private:
  void DrawBar(std::uint32_t percent, std::string_view line);
  std::string phase_;
  bool barShown_ = false;
};

// Records everything instead of showing it; never blocks. For tests: read the fields once the
// threads that show things have finished.
class RecordingUserInterface final : public UserInterface {
 public:
  struct Box {
    BoxKind kind;
    std::string text;
  };
  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;
  // Records the question and gives `answer`.
  bool Ask(std::string_view question) override;

  std::vector<Box> boxes;
  std::vector<std::string> questions;
  bool answer = false;
  std::vector<std::string> progressCaptions;
  std::vector<std::string> progressPhases;
  std::vector<std::uint32_t> percents;
  std::vector<std::string> progressLines;
  int finishCount = 0;

 private:
  std::mutex mutex_;
};

}  // namespace vandrel
