#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/batch_send.h"
#include "app/send_job.h"
#include "platform/user_interface.h"

namespace vandrel {

class ProgressDialog;
class Win32UserInterface;

// The files given on the program's command line, sent without the main window: each send shows
// its progress dialog and its boxes as a send from the window does. This thread runs the dialogs
// while a worker goes through the files; the worker asks for a dialog when a send begins and
// closes it when the send is over. Each dialog's Cancel stops the file under way, or the batch.
class BatchHost final : public UserInterface, public SendFrontEnd {
 public:
  // Boxes and progress go on to `shown`; each send's dialog is attached to `dialogs`, which shows
  // the progress that reaches it (`shown` is normally `dialogs` itself), and is owned by `owner`
  // (none for the command line's files). Every wait of the sends is on `clock`.
  BatchHost(UserInterface& shown, Win32UserInterface& dialogs, Clock& clock, HWND owner = nullptr);
  ~BatchHost() override;
  BatchHost(const BatchHost&) = delete;
  BatchHost& operator=(const BatchHost&) = delete;

  // Loads the settings, applies their language and sends the files in order, showing everything
  // through this host; returns when the last send has ended.
  BatchResult Run(const std::vector<std::string>& files);
  // Sends `files` in order with the running record `state` and the line speeds `lineSpeeds` of a
  // front end that is already running (the files dropped on the window); returns when the last
  // send has ended.
  BatchResult Send(const std::vector<std::string>& files, const BatchOptions& options,
                   AppState& state, LineSpeeds& lineSpeeds);

  void ShowBox(BoxKind kind, std::string_view text) override;
  void ShowProgress(std::string_view caption, std::string_view phase) override;
  void UpdateProgress(std::uint32_t percent, std::string_view line) override;
  void FinishProgress() override;

  void ObjectLoaded(const MediaFile& file) override;
  void StartProgressFeed(ProgressDisplay& progress) override;
  void StopProgressFeed() override;
  void CloseProgress() override;
  bool ShowsProgressDialog() const override { return true; }

 private:
  enum class DialogState { kClosed, kOpening, kOpen };

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleMessage(UINT message, LPARAM lParam);
  void RunProgressDialog();
  void SetDialogState(DialogState state, HWND window);

  UserInterface& shown_;
  Win32UserInterface& dialogs_;
  Clock& clock_;
  HWND owner_;
  HWND host_ = nullptr;
  ProgressDialog* runningDialog_ = nullptr;  // this thread's only
  SendStop stop_;
  AppState* state_ = nullptr;  // the running record of the batch under way

  std::mutex mutex_;
  std::condition_variable changed_;
  DialogState dialogState_ = DialogState::kClosed;
  HWND dialogWindow_ = nullptr;
  std::string fileName_;  // of the send under way, for the question that stops it
};

}  // namespace vandrel
