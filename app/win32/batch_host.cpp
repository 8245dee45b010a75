#include "app/win32/batch_host.h"

#include <thread>

#include "app/chosen_file.h"
#include "app/start_up.h"
#include "app/stop_question.h"
#include "app/win32/progress_dialog.h"
#include "app/win32/progress_feed.h"
#include "app/win32/win32_user_interface.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

constexpr const wchar_t* kHostClass = L"VandrelBatchHost";
constexpr UINT kOpenDialogMessage = WM_APP + 10;
constexpr UINT kDialogShownMessage = WM_APP + 11;
constexpr UINT kBatchDoneMessage = WM_APP + 12;

}  // namespace

BatchHost::BatchHost(UserInterface& shown, Win32UserInterface& dialogs, Clock& clock, HWND owner)
    : shown_(shown), dialogs_(dialogs), clock_(clock), owner_(owner) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW hostClass{};
  hostClass.lpfnWndProc = Proc;
  hostClass.hInstance = instance;
  hostClass.lpszClassName = kHostClass;
  RegisterClassW(&hostClass);
  // A message-only window: it receives the worker's requests and the progress timer.
  host_ = CreateWindowExW(0, kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
}

BatchHost::~BatchHost() {
  if (host_ != nullptr) DestroyWindow(host_);
}

BatchResult BatchHost::Run(const std::vector<std::string>& files) {
  StartUp start(std::nullopt);
  BatchOptions options;
  // no one to ask between the files: "ask" sends them as they are
  options.fit = FitRequestOf(start.settings, false);
  return Send(files, options, start.state, start.settings.lineSpeeds);
}

BatchResult BatchHost::Send(const std::vector<std::string>& files, const BatchOptions& options,
                            AppState& state, LineSpeeds& lineSpeeds) {
  ProgressDisplay progress(*this);
  stop_.Lift();
  state_ = &state;
  EventLog log;
  const SendContext send{.state = state,
                         .clock = clock_,
                         .ui = *this,
                         .trace = NoLinkTrace(),
                         .progress = progress,
                         .frontEnd = *this,
                         .lineSpeeds = lineSpeeds,
                         .log = log,
                         .stop = stop_};
  BatchOptions cancellable = options;
  cancellable.stoppedText = TXT_SENDING_CANCELLED;
  BatchResult result;
  std::thread worker([&] {
    result = RunBatch(files, cancellable, send);
    PostMessageW(host_, kBatchDoneMessage, 0, 0);
  });
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  worker.join();
  return result;
}

void BatchHost::ShowBox(BoxKind kind, std::string_view text) {
  shown_.ShowBox(kind, text);
}

void BatchHost::ShowProgress(std::string_view caption, std::string_view phase) {
  {
    std::unique_lock lock(mutex_);
    if (dialogState_ == DialogState::kClosed) {
      dialogState_ = DialogState::kOpening;
      PostMessageW(host_, kOpenDialogMessage, 0, 0);
    }
    changed_.wait(lock, [this] { return dialogState_ != DialogState::kOpening; });
  }
  shown_.ShowProgress(caption, phase);
}

void BatchHost::UpdateProgress(std::uint32_t percent, std::string_view line) {
  shown_.UpdateProgress(percent, line);
}

void BatchHost::FinishProgress() {
  shown_.FinishProgress();
}

void BatchHost::ObjectLoaded(const MediaFile&) {
  std::lock_guard lock(mutex_);
  fileName_ = SplitChosenFile(state_->filePath).name;
}

void BatchHost::StartProgressFeed(ProgressDisplay& progress) {
  StartProgressTimer(host_, progress);
}

void BatchHost::StopProgressFeed() {
  StopProgressTimer(host_);
}

void BatchHost::CloseProgress() {
  std::unique_lock lock(mutex_);
  if (dialogState_ != DialogState::kOpen) return;
  PostMessageW(dialogWindow_, WM_CLOSE, 0, 0);
  // the next send asks for a dialog of its own only once this one has gone
  changed_.wait(lock, [this] { return dialogState_ == DialogState::kClosed; });
}

LRESULT CALLBACK BatchHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<BatchHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (host != nullptr && host->HandleMessage(message, lParam)) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

bool BatchHost::HandleMessage(UINT message, LPARAM lParam) {
  if (HandleProgressTimerMessage(host_, message, lParam)) return true;
  switch (message) {
    case kOpenDialogMessage:
      RunProgressDialog();
      return true;
    case kDialogShownMessage:
      // a dialog that could not be made has already ended and left the worker to go on
      if (runningDialog_ != nullptr && runningDialog_->window() != nullptr)
        SetDialogState(DialogState::kOpen, runningDialog_->window());
      return true;
    case kBatchDoneMessage:
      PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

// Runs one send's dialog modally. The dialog's loop handles the message posted here only once the
// dialog's window exists, so that is when the worker learns that it may show its progress.
void BatchHost::RunProgressDialog() {
  ProgressDialog dialog(owner_);
  dialog.OfferStop([this] {
    std::string name;
    {
      std::lock_guard lock(mutex_);
      name = fileName_;
    }
    return AskToStop(shown_, stop_, name, true);
  });
  dialogs_.AttachProgressDialog(&dialog);
  runningDialog_ = &dialog;
  PostMessageW(host_, kDialogShownMessage, 0, 0);
  dialog.Run();
  runningDialog_ = nullptr;
  dialogs_.AttachProgressDialog(nullptr);
  SetDialogState(DialogState::kClosed, nullptr);
}

void BatchHost::SetDialogState(DialogState state, HWND window) {
  {
    std::lock_guard lock(mutex_);
    dialogState_ = state;
    dialogWindow_ = window;
  }
  changed_.notify_all();
}

}  // namespace vandrel
