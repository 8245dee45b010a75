#include "app/win32/main_window.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

#include "app/chosen_file.h"
#include "app/handset_fit.h"
#include "app/language.h"
#include "app/object_title.h"
#include "app/send_job.h"
#include "app/settings.h"
#include "app/win32/about_dialog.h"
#include "app/win32/help_page.h"
#include "app/win32/progress_dialog.h"
#include "app/win32/progress_feed.h"
#include "app/win32/win32_user_interface.h"
#include "app/win32/window_dpi.h"
#include "platform/clock.h"
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
  SetWindowTextW(window, Widen(kAppTitle).c_str());
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
  // Without a serial-port key the menu lists no port; the window is still made complete, and a
  // send fails at detection until "Auto" or a later start finds a port.
  menuBar_.ListPorts(start_->ports);
  menuBar_.ListPictureSizes();
  SetLanguage(TextLanguage(), &menuBar_);
  menuBar_.CheckFitItem(start_->settings.fitToHandset);
  menuBar_.CheckPictureSizeItem(start_->settings.pictureSize);

  SetDataFont();

  kinds_.Rename();
  FillObjectTypes();
  ResetFileFields();
  menuBar_.CheckPortItem(SelectInitialPort(start_->ports, start_->selection), start_->ports.count);

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
    case IDC_QUIT_BUTTON:
    case IDOK:
    case IDCANCEL:
      Close();
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
  if (!chosen) return;

  const ChosenFile file = SplitChosenFile(*chosen);
  if (FilterAcceptsExtension(row, file.extension)) {
    kindFolders.remembered = file.folder;
    SetDlgItemTextW(window_, IDC_FILE, LowerCase(Widen(file.path)).c_str());
    displayName_ = Narrow(LowerCase(Widen(file.name)));
    rawTitle_ = file.title;
  } else {
    SetWindowTextW(window_, Widen(kAppTitle).c_str());
    rawTitle_.clear();
    SetDlgItemTextW(window_, IDC_FILE, L"");
  }
  objectTitle_ = CleanObjectTitle(rawTitle_);
  rawTitle_ = ObjectTitleText(objectTitle_);
  StoreObjectTitle(objectTitle_, start_->state);
}

void MainWindow::Send() {
  const HWND button = GetDlgItem(window_, IDC_SEND_BUTTON);
  LockWindowUpdate(button);
  EnableWindow(button, FALSE);
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  AppState& state = start_->state;
  const bool prepared = PrepareSend(state, objectTitle_.size(), kinds_.Row(selectedKind_),
                                    ControlText(window_, IDC_FILE));
  MediaFile file;
  if (!prepared) {
    ShowWarning(shown_, GetText(TXT_NO_OBJECT_FILE));
  } else if (const FitRequest fit = FitRequestOf(start_->settings, true);
             LoadObjectFile(state, file, shown_, fit.FitsPictures()) &&
             FitForHandset(file, state, displayName_, fit, start_->settings.lineSpeeds.speeds[0],
                           shown_)) {
    RunSend(file);
  }
  LockWindowUpdate(nullptr);
  EnableWindow(button, TRUE);
  if (prepared) clock_.Sleep(kAfterSendPauseMs);
}

// The worker talks to the handset while this thread runs the progress dialog, which the worker
// closes once the send is over.
void MainWindow::RunSend(const MediaFile& file) {
  ProgressDialog dialog(window_);
  WindowSendFrontEnd frontEnd(window_, dialog, clock_);
  const SendContext send{.state = start_->state,
                         .clock = clock_,
                         .ui = shown_,
                         .trace = NoLinkTrace(),
                         .progress = progress_,
                         .frontEnd = frontEnd,
                         .lineSpeeds = start_->settings.lineSpeeds};
  dialogs_.AttachProgressDialog(&dialog);
  std::atomic<bool> done{false};
  std::thread worker;
  try {
    worker = std::thread([&] {
      RunSendJob(send, file, displayName_);
      done = true;
    });
  } catch (const std::system_error&) {
    // no worker, no send: the command ends as if it had not been given
    dialogs_.AttachProgressDialog(nullptr);
    return;
  }
  dialog.Run();
  // a dialog that could not be shown returns at once, while the worker still asks this thread
  // to start and stop its timer
  JoinServingSentMessages(worker, done);
  dialogs_.AttachProgressDialog(nullptr);
}

void MainWindow::ChoosePort(int position) {
  const PortList& ports = start_->ports;
  if (position > ports.count) return;
  menuBar_.CheckPortItem(position, ports.count);
  SelectPort(ports, position, start_->selection);
  portChosen_ = true;
}

// Kept at once, as the other settings are.
bool MainWindow::ChooseFitting(int command) {
  AppSettings& settings = start_->settings;
  if (const auto fit = FitSettingOfCommand(command)) {
    settings.fitToHandset = *fit;
    SaveNumberSetting("FitToHandset", *fit);
    menuBar_.CheckFitItem(*fit);
    return true;
  }
  if (const auto size = PictureSizeOfCommand(command)) {
    settings.pictureSize = *size;
    SaveNumberSetting("PictureSize", *size);
    menuBar_.CheckPictureSizeItem(*size);
    return true;
  }
  return false;
}

void MainWindow::SearchPorts() {
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const int found = AutoSearch(LinkContext{.clock = clock_, .ui = shown_}, start_->ports,
                               start_->settings.lineSpeeds, start_->selection);
  if (found == 0) return;
  menuBar_.CheckPortItem(found, start_->ports.count);
  portChosen_ = true;
}

void MainWindow::ChangeLanguage(int language) {
  SetLanguage(language, &menuBar_);
  kinds_.Rename();
  FillObjectTypes();
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
