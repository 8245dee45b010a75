#include "app/win32/main_window.h"

#include <dbt.h>
#include <shellapi.h>

#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

#include "app/batch_summary.h"
#include "app/chosen_file.h"
#include "app/file_send.h"
#include "app/handset_fit.h"
#include "app/language.h"
#include "app/object_title.h"
#include "app/send_job.h"
#include "app/settings.h"
#include "app/stop_question.h"
#include "app/win32/about_dialog.h"
#include "app/win32/batch_host.h"
#include "app/win32/help_page.h"
#include "app/win32/port_names.h"
#include "app/win32/progress_dialog.h"
#include "app/win32/progress_feed.h"
#include "app/win32/search_dialog.h"
#include "app/win32/win32_user_interface.h"
#include "app/win32/window_dpi.h"
#include "platform/clock.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

namespace {

constexpr int kDataFontPoints = 12;
constexpr int kPointsPerInch = 72;
constexpr const wchar_t* kDataFontFace = L"Comic Sans MS";
constexpr int kSmallIconSize = 16;
// The background is drawn 3 pixels (at 96 DPI) up so that its top edge meets the menu bar.
constexpr int kBackgroundOffset = 3;
// Between a button's picture and the edge of the button, at 96 DPI.
constexpr int kButtonPictureMargin = 3;
constexpr COLORREF kLabelColour = RGB(0x1B, 0x2A, 0x3D);
constexpr COLORREF kFieldColour = RGB(0xFF, 0xFF, 0xFF);
// Lets the worker of the send that has just ended let go of the port before another send.
constexpr std::uint32_t kAfterSendPauseMs = 100;

std::wstring LowerCase(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

bool IsDirectory(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ControlText(HWND window, int id) {
  const HWND control = GetDlgItem(window, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

// The paths of the files dropped on the window, in the order the system gives them.
std::vector<std::string> DroppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(Narrow(path));
  }
  DragFinish(drop);
  return paths;
}

// The text a picture button stands for, which screen readers announce; the button draws only its
// picture.
struct ButtonName {
  int id;
  int text;
};
constexpr std::array<ButtonName, 4> kButtonNames{{{IDC_OPEN_BUTTON, TXT_BUTTON_OPEN},
                                                  {IDC_SEND_BUTTON, TXT_BUTTON_SEND},
                                                  {IDC_HELP_BUTTON, TXT_BUTTON_HELP},
                                                  {IDC_QUIT_BUTTON, TXT_BUTTON_QUIT}}};

bool IsPortArrivalOrRemoval(WPARAM event, LPARAM data) {
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  return header != nullptr && header->dbch_devicetype == DBT_DEVTYP_PORT;
}

std::string StartFolder(const KindFolders& folders) {
  if (IsDirectory(folders.remembered)) return folders.remembered;
  if (IsDirectory(folders.fallback)) return folders.fallback;
  return {};
}

}  // namespace

MainWindow::MainWindow(UserInterface& shown, Win32UserInterface& dialogs, Clock& clock,
                       OpenFileChooser chooseFile)
    : shown_(shown), dialogs_(dialogs), clock_(clock), chooseFile_(std::move(chooseFile)) {
  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VANDREL));
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void MainWindow::Run() {
  modal_ = true;
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN_WINDOW), nullptr,
                  DialogDispatch<MainWindow>::Proc, reinterpret_cast<LPARAM>(this));
}

HWND MainWindow::Create() {
  modal_ = false;
  CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN_WINDOW), nullptr,
                     DialogDispatch<MainWindow>::Proc, reinterpret_cast<LPARAM>(this));
  return window_;
}

KindFolders& MainWindow::folders(int kind) {
  return folders_[static_cast<std::size_t>(kinds_.Row(kind).kind) - 1];
}

void MainWindow::Initialise(HWND window) {
  window_ = window;
  const auto smallIcon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VANDREL),
                                    IMAGE_ICON, kSmallIconSize, kSmallIconSize, LR_SHARED));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  menuBar_.Attach(window);
  start_.emplace(std::nullopt);
  TakeSettings(start_->settings);

  kinds_.Rename();
  ShowNotice(shown_, GetText(TXT_ABOUT_TEXT));
  menuBar_.CheckPatientItem(start_->state.patientWaits);
  // Without a serial-port key the menu lists no port; the window is still made complete, and a
  // send fails at detection until "Auto" or a later start finds a port.
  menuBar_.ListPorts(start_->ports, FriendlyPortNames());
  menuBar_.ListPictureSizes();
  SetLanguage(TextLanguage(), &menuBar_);
  menuBar_.CheckFitItem(start_->settings.fitToHandset);
  menuBar_.CheckPictureSizeItem(start_->settings.pictureSize);

  SetDataFont();

  kinds_.Rename();
  FillObjectTypes();
  ResetFileFields();
  menuBar_.CheckPortItem(SelectInitialPort(start_->ports, start_->selection), start_->ports.count);
  ShowCaption();
  // a send would otherwise go quietly to another port than the one the user set up
  if (start_->selection.port != 0 && start_->selection.port != storedPort_) {
    ShowNotice(shown_, FormatText(GetText(TXT_PORT_NOT_CONNECTED).c_str(), storedPort_,
                                  start_->selection.port));
  }
  NameButtons();
  // The picture buttons show no text, so the focus rectangle is all that tells where Tab went:
  // drawn from the start, not only after a key has been pressed.
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);

  LoadLanguagePictures();
  open_.drawn = LoadResourceBitmap(IDB_OPEN);
  send_.drawn = LoadResourceBitmap(IDB_SEND);
  quit_.drawn = LoadResourceBitmap(IDB_QUIT);
  ShowPictures();
}

void MainWindow::SetDataFont() {
  Font font(CreateFontW(-MulDiv(kDataFontPoints, WindowDpi(window_), kPointsPerInch), 0, 0, 0,
                        FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        kDataFontFace));
  for (const int id : {IDC_OBJECT_TYPE, IDC_FILE, IDC_FORMAT})
    SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  dataFont_ = std::move(font);
}

void MainWindow::TakeSettings(const AppSettings& settings) {
  storedPort_ = settings.port;
  selectedKind_ = settings.combo;
  for (int kind = kGraphic; kind <= kVCard; ++kind) {
    folders(kind) = {settings.folders[static_cast<std::size_t>(kind)],
                     settings.defaultFolders[static_cast<std::size_t>(kind)]};
  }
}

void MainWindow::SaveSettings() const {
  AppSettings settings;
  settings.port = portChosen_ ? start_->selection.port : storedPort_;
  settings.language = TextLanguage();
  settings.combo = selectedKind_;
  settings.patient = start_->state.patientWaits;
  settings.fitToHandset = start_->settings.fitToHandset;
  settings.pictureSize = start_->settings.pictureSize;
  for (int kind = kGraphic; kind <= kVCard; ++kind) {
    settings.folders[static_cast<std::size_t>(kind)] =
        folders_[static_cast<std::size_t>(kind) - 1].remembered;
  }
  settings.lineSpeeds = start_->settings.lineSpeeds;
  vandrel::SaveSettings(settings);
}

INT_PTR MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (HandleProgressTimerMessage(window_, message, lParam)) return TRUE;
  switch (message) {
    case WM_COMMAND:
      return HandleCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
      Paint();
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED:
      ChangeDpi(*reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    case WM_CLOSE:
      Close();
      return TRUE;
    case WM_DEVICECHANGE:
      if (IsPortArrivalOrRemoval(wParam, lParam)) PortsChanged();
      return TRUE;
    case WM_DROPFILES:
      DropFiles(DroppedPaths(reinterpret_cast<HDROP>(wParam)));
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DESTROY:
      SaveSettings();
      // ports that "Auto" probed stay open until the program ends
      CloseListedPorts(start_->ports);
      window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

bool MainWindow::HandleCommand(int id, int notification) {
  switch (id) {
    case IDC_OBJECT_TYPE:
      if (notification == CBN_SELCHANGE || notification == CBN_CLOSEUP) ChangeKind();
      return true;
    case IDC_OPEN_BUTTON:
    case ID_MENU_OPEN:
      Open();
      return true;
    case IDC_SEND_BUTTON:
    case ID_MENU_SEND:
      Send();
      return true;
    case ID_MENU_AUTO:
      SearchPorts();
      return true;
    case IDC_HELP_BUTTON:
    case ID_MENU_HELP:
      OpenHelpPage(window_, shown_);
      return true;
    case ID_MENU_ABOUT:
      RunAboutDialog(window_);
      return true;
    case ID_MENU_ENGLISH:
      ChangeLanguage(kEnglish);
      return true;
    case ID_MENU_FRENCH:
      ChangeLanguage(kFrench);
      return true;
    case ID_MENU_PATIENT:
      TogglePatience();
      return true;
    case IDC_QUIT_BUTTON:
      Close();
      return true;
    case IDOK:
    case IDCANCEL:
      // Enter and Escape reach the window as its default buttons; only Quit and the close box
      // end the program
      return true;
    default:
      if (const int position = PortPositionOfCommand(id); position > 0) {
        ChoosePort(position);
        return true;
      }
      return ChooseFitting(id);
  }
}

void MainWindow::Close() {
  if (modal_) {
    EndDialog(window_, IDCANCEL);
  } else {
    DestroyWindow(window_);
  }
}

void MainWindow::FillObjectTypes() {
  SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_RESETCONTENT, 0, 0);
  WPARAM position = 0;
  for (int kind = kGraphic; kind <= kVCard; ++kind) {
    const ObjectKindRow& row = kinds_.Row(kind);
    if (!row.enabled) continue;
    SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_INSERTSTRING, position++,
                        reinterpret_cast<LPARAM>(Widen(row.name).c_str()));
  }
  SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_SETCURSEL, selectedKind_ - 1, 0);
}

void MainWindow::ChangeKind() {
  const auto position = SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_GETCURSEL, 0, 0);
  if (position == CB_ERR) return;
  selectedKind_ = static_cast<int>(position) + 1;
  ResetFileFields();
}

void MainWindow::ResetFileFields() {
  SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_SETCURSEL, selectedKind_ - 1, 0);
  SetDlgItemTextW(window_, IDC_FILE, L"");
  SetDlgItemTextW(window_, IDC_FORMAT, Widen(kinds_.Row(selectedKind_).formats).c_str());
  rawTitle_.clear();
  objectTitle_.clear();
}

void MainWindow::Open() {
  const ObjectKindRow row =
      RowToOpen(kinds_.Row(selectedKind_), FitRequestOf(start_->settings, true).FitsPictures());
  KindFolders& kindFolders = folders(selectedKind_);
  const std::string folder = StartFolder(kindFolders);
  const std::string patterns(FilterPatterns(row));
  // Without a folder, the pattern list alone lets the dialog open in its own default folder.
  const OpenFileRequest request{row.filter, folder.empty() ? patterns : folder + "\\" + patterns,
                                GetText(TXT_OPEN_TITLE)};
  const std::optional<std::string> chosen = chooseFile_(window_, request);
  if (chosen) TakeFile(*chosen);
}

void MainWindow::TakeFile(const std::string& path) {
  const ObjectKindRow& row = kinds_.Row(selectedKind_);
  KindFolders& kindFolders = folders(selectedKind_);
  const ChosenFile file = SplitChosenFile(path);
  if (FilterAcceptsExtension(row, file.extension)) {
    kindFolders.remembered = file.folder;
    SetDlgItemTextW(window_, IDC_FILE, LowerCase(Widen(file.path)).c_str());
    displayName_ = Narrow(LowerCase(Widen(file.name)));
    rawTitle_ = file.title;
  } else {
    ShowCaption();
    rawTitle_.clear();
    SetDlgItemTextW(window_, IDC_FILE, L"");
  }
  objectTitle_ = CleanObjectTitle(rawTitle_);
  rawTitle_ = ObjectTitleText(objectTitle_);
  StoreObjectTitle(objectTitle_, start_->state);
}

// One file is taken as if chosen in Open, under the kind its extension gives; several are sent in
// turn as a batch, and a box then sums up what became of each.
void MainWindow::DropFiles(const std::vector<std::string>& paths) {
  if (paths.size() == 1) {
    if (const std::optional<int> kind = KindFromExtension(paths[0])) {
      selectedKind_ = *kind;
      ResetFileFields();
    }
    TakeFile(paths[0]);
    return;
  }
  if (paths.empty()) return;
  BatchOptions options;
  options.fit = FitRequestOf(start_->settings, false);
  BatchHost batch(shown_, dialogs_, clock_, window_);
  EnableWindow(window_, FALSE);
  busy_ = true;
  const BatchResult result =
      batch.Send(SendableFiles(paths), options, start_->state, start_->settings.lineSpeeds);
  EndBusy();
  EnableWindow(window_, TRUE);
  ShowNotice(shown_, BatchSummary(paths, result));
}

void MainWindow::Send() {
  const HWND button = GetDlgItem(window_, IDC_SEND_BUTTON);
  LockWindowUpdate(button);
  EnableWindow(button, FALSE);
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  busy_ = true;
  AppState& state = start_->state;
  const std::string path = ControlText(window_, IDC_FILE);
  const FitRequest fit = FitRequestOf(start_->settings, true);
  EventLog log;
  SendFile({.titleLength = objectTitle_.size(),
            .row = kinds_.Row(selectedKind_),
            .path = path,
            .name = displayName_,
            .fit = fit},
           {.state = state, .ui = shown_, .log = log, .lineSpeeds = start_->settings.lineSpeeds},
           [&](const MediaFile& file) { return RunSend(file, log); });
  LockWindowUpdate(nullptr);
  EnableWindow(button, TRUE);
  if (!path.empty()) clock_.Sleep(kAfterSendPauseMs);
  EndBusy();
}

// The worker talks to the handset while this thread runs the progress dialog, which the worker
// closes once the send is over.
SendOutcome MainWindow::RunSend(const MediaFile& file, EventLog& log) {
  ProgressDialog dialog(window_);
  WindowSendFrontEnd frontEnd(window_, dialog, clock_);
  SendStop stop;
  const SendContext send{.state = start_->state,
                         .clock = clock_,
                         .ui = shown_,
                         .trace = NoLinkTrace(),
                         .progress = progress_,
                         .frontEnd = frontEnd,
                         .lineSpeeds = start_->settings.lineSpeeds,
                         .log = log,
                         .stop = stop};
  dialog.OfferStop([&] { return AskToStop(shown_, stop, displayName_, false); });
  dialogs_.AttachProgressDialog(&dialog);
  std::atomic<bool> done{false};
  SendOutcome outcome = UnsentOutcome(start_->state, log);
  std::thread worker;
  try {
    worker = std::thread([&] {
      outcome = RunSendJob(send, file, displayName_);
      done = true;
    });
  } catch (const std::system_error&) {
    // no worker, no send: the command ends as if it had not been given
    dialogs_.AttachProgressDialog(nullptr);
    return outcome;
  }
  dialog.Run();
  // a dialog that could not be shown returns at once, while the worker still asks this thread
  // to start and stop its timer
  JoinServingSentMessages(worker, done);
  dialogs_.AttachProgressDialog(nullptr);
  if (stop.Requested()) ShowNotice(shown_, GetText(TXT_SENDING_CANCELLED));
  return outcome;
}

void MainWindow::ChoosePort(int position) {
  const PortList& ports = start_->ports;
  if (position > ports.count) return;
  menuBar_.CheckPortItem(position, ports.count);
  SelectPort(ports, position, start_->selection);
  portChosen_ = true;
  ShowCaption();
}

// A port that comes or goes while a send, a batch or the search runs would change the port under
// it: the list is rebuilt once that is over.
void MainWindow::PortsChanged() {
  portsChanged_ = true;
  if (busy_) return;
  portsChanged_ = false;
  // the ports the search left open are closed with the list that knew them
  CloseListedPorts(start_->ports);
  start_->portsListed = BuildPortList(start_->ports);
  menuBar_.ListPorts(start_->ports, FriendlyPortNames());
  // the stored port is taken back when its adapter returns, unless the user chose another
  if (!portChosen_) start_->selection.port = storedPort_;
  menuBar_.CheckPortItem(SelectInitialPort(start_->ports, start_->selection), start_->ports.count);
  ShowCaption();
}

void MainWindow::EndBusy() {
  busy_ = false;
  if (portsChanged_) PortsChanged();
}

// The window's title names the port the next send will use.
void MainWindow::ShowCaption() {
  const std::int32_t port = start_->selection.port;
  const std::string caption =
      port == 0 ? std::string(kAppTitle) : FormatText("%s - COM%d", kAppTitle, port);
  SetWindowTextW(window_, Widen(caption).c_str());
}

void MainWindow::NameButtons() {
  for (const ButtonName& button : kButtonNames)
    SetDlgItemTextW(window_, button.id, Widen(GetText(button.text)).c_str());
}

// Kept at once, as the fitting choices are; the next send waits accordingly.
void MainWindow::TogglePatience() {
  AppState& state = start_->state;
  state.patientWaits = !state.patientWaits;
  SaveNumberSetting(kPatientSetting, state.patientWaits ? 1 : 0);
  menuBar_.CheckPatientItem(state.patientWaits);
}

// Kept at once, as the other settings are.
bool MainWindow::ChooseFitting(int command) {
  AppSettings& settings = start_->settings;
  if (const auto fit = FitSettingOfCommand(command)) {
    settings.fitToHandset = *fit;
    SaveNumberSetting(kFitSetting, *fit);
    menuBar_.CheckFitItem(*fit);
    return true;
  }
  if (const auto size = PictureSizeOfCommand(command)) {
    settings.pictureSize = *size;
    SaveNumberSetting(kPictureSizeSetting, *size);
    menuBar_.CheckPictureSizeItem(*size);
    return true;
  }
  return false;
}

// The search probes the ports on a worker while this thread runs its dialog, so that the window
// keeps painting; Cancel stops the search's clock and the port under probe, which ends the probe
// under way at once.
void MainWindow::SearchPorts() {
  busy_ = true;
  searchClock_.Restart();
  SendStop stop;
  SearchDialog dialog(window_, [this, &stop] {
    searchClock_.Stop();
    stop.Request();
  });
  const SearchWatch watch{.trying = [&dialog](int port) { dialog.ShowPort(port); }, .stop = &stop};
  std::atomic<bool> done{false};
  int found = 0;
  EventLog searchLog;
  std::thread worker;
  try {
    worker = std::thread([&] {
      found = AutoSearch(LinkContext{.clock = searchClock_, .ui = shown_, .log = searchLog},
                         start_->ports, start_->settings.lineSpeeds, start_->selection, watch);
      dialog.End();
      done = true;
    });
  } catch (const std::system_error&) {
    EndBusy();
    return;
  }
  dialog.Run();
  JoinServingSentMessages(worker, done);
  // the ports the search left open keep this clock for their threads
  searchClock_.Restart();
  if (found != 0) {
    menuBar_.CheckPortItem(found, start_->ports.count);
    portChosen_ = true;
    ShowCaption();
  }
  EndBusy();
}

void MainWindow::ChangeLanguage(int language) {
  SetLanguage(language, &menuBar_);
  kinds_.Rename();
  FillObjectTypes();
  NameButtons();
  LoadLanguagePictures();
  RedrawWindow(window_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::LoadLanguagePictures() {
  const bool french = TextLanguage() == kFrench;
  background_ = LoadResourceBitmap(french ? IDB_BACKGROUND_FRENCH : IDB_BACKGROUND_ENGLISH);
  help_.drawn = LoadResourceBitmap(french ? IDB_HELP_FRENCH : IDB_HELP_ENGLISH);
  ShowButtonPicture(IDC_HELP_BUTTON, help_);
  ScaleBackground();
}

void MainWindow::ShowPictures() {
  ShowButtonPicture(IDC_OPEN_BUTTON, open_);
  ShowButtonPicture(IDC_SEND_BUTTON, send_);
  ShowButtonPicture(IDC_HELP_BUTTON, help_);
  ShowButtonPicture(IDC_QUIT_BUTTON, quit_);
  ScaleBackground();
}

// The picture fills the button inside its frame, in the proportions it was drawn in.
void MainWindow::ShowButtonPicture(int id, ButtonPicture& picture) {
  const HWND button = GetDlgItem(window_, id);
  RECT client{};
  GetClientRect(button, &client);
  const int margin = ScaleToDpi(kButtonPictureMargin, WindowDpi(window_));
  const SIZE drawn = BitmapSize(picture.drawn);
  const int width = client.right - 2 * margin;
  const int height = client.bottom - 2 * margin;
  SIZE size{width, height};
  if (drawn.cx > 0 && drawn.cy > 0) {
    if (static_cast<long long>(width) * drawn.cy > static_cast<long long>(height) * drawn.cx) {
      size.cx = MulDiv(height, drawn.cx, drawn.cy);
    } else {
      size.cy = MulDiv(width, drawn.cy, drawn.cx);
    }
  }
  Bitmap shown = ScaledBitmap(picture.drawn, size);
  // The button keeps drawing the old picture until it is given the new one.
  SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown.get()));
  picture.shown = std::move(shown);
}

void MainWindow::ScaleBackground() {
  RECT client{};
  GetClientRect(window_, &client);
  backgroundShown_ = ScaledBitmap(background_, {client.right, client.bottom + BackgroundOffset()});
}

int MainWindow::BackgroundOffset() const {
  return ScaleToDpi(kBackgroundOffset, WindowDpi(window_));
}

// On a monitor of another DPI, Windows scales the dialog's frame and controls; the window takes
// the size it suggests, and the font and the pictures follow.
void MainWindow::ChangeDpi(const RECT& suggested) {
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetDataFont();
  ShowPictures();
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  if (IsIconic(window_)) {
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window_, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
  } else {
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, backgroundShown_.get());
    const SIZE size = BitmapSize(backgroundShown_);
    BitBlt(dc, 0, -BackgroundOffset(), size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  EndPaint(window_, &paint);
}

INT_PTR MainWindow::ColourControl(HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case IDC_OBJECT_TYPE_LABEL:
    case IDC_FILE_LABEL:
    case IDC_FORMAT_LABEL:
      // The labels stand on the background picture.
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kLabelColour);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    case IDC_FILE:
    case IDC_FORMAT:
      SetBkColor(dc, kFieldColour);
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    default:
      return FALSE;
  }
}

}  // namespace vandrel
