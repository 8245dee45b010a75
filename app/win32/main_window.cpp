#include "app/win32/main_window.h"

#include <utility>

#include "app/chosen_file.h"
#include "app/language.h"
#include "app/message_catalogue.h"
#include "app/object_title.h"
#include "app/win32/about_dialog.h"
#include "app/win32/help_page.h"
#include "platform/user_interface.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"

namespace vandrel {

namespace {

constexpr int kDataFontPoints = 12;
constexpr int kPointsPerInch = 72;
constexpr const wchar_t* kDataFontFace = L"Comic Sans MS";
constexpr int kSmallIconSize = 16;
// The background is drawn 3 pixels up so that its top edge meets the menu bar.
constexpr int kBackgroundLeft = 0;
constexpr int kBackgroundTop = -3;
constexpr int kBackgroundWidth = 528;
constexpr int kBackgroundHeight = 323;
constexpr COLORREF kLabelColour = RGB(0x1B, 0x2A, 0x3D);
constexpr COLORREF kFieldColour = RGB(0xFF, 0xFF, 0xFF);

std::wstring LowerCase(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

bool IsDirectory(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string StartFolder(const KindFolders& folders) {
  if (IsDirectory(folders.remembered)) return folders.remembered;
  if (IsDirectory(folders.fallback)) return folders.fallback;
  return {};
}

}  // namespace

MainWindow::MainWindow(OpenFileChooser chooseFile) : chooseFile_(std::move(chooseFile)) {
  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VANDREL));
  AppState& state = TheAppState();
  state.titleChars.fill(0);
  state.portSelection = &portSelection_;
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  AppState& state = TheAppState();
  if (state.portSelection == &portSelection_) state.portSelection = nullptr;
  state.currentObjectType = nullptr;
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
  AppState& state = TheAppState();
  SetWindowTextW(window, Widen(state.appTitle).c_str());
  const auto smallIcon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VANDREL),
                                    IMAGE_ICON, kSmallIconSize, kSmallIconSize, LR_SHARED));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  menuBar_.Attach(window);

  kinds_.Rename();
  ShowNotice(GetText(TXT_ABOUT_TEXT));
  state.currentObjectType = &kinds_.Row(selectedKind_);
  SetLanguage(state.language, &menuBar_);

  const HDC screen = GetDC(window);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(window, screen);
  dataFont_.Reset(CreateFontW(-MulDiv(kDataFontPoints, pixelsPerInch, kPointsPerInch), 0, 0, 0,
                              FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              kDataFontFace));
  for (const int id : {IDC_OBJECT_TYPE, IDC_FILE, IDC_FORMAT}) {
    SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(dataFont_.get()), FALSE);
  }

  kinds_.Rename();
  state.currentObjectType = &kinds_.Row(selectedKind_);
  FillObjectTypes();
  ResetFileFields();

  LoadLanguagePictures();
  open_ = LoadResourceBitmap(IDB_OPEN);
  send_ = LoadResourceBitmap(IDB_SEND);
  quit_ = LoadResourceBitmap(IDB_QUIT);
  SetButtonPicture(IDC_OPEN_BUTTON, open_);
  SetButtonPicture(IDC_SEND_BUTTON, send_);
  SetButtonPicture(IDC_QUIT_BUTTON, quit_);
}

INT_PTR MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return HandleCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
      Paint();
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DESTROY:
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
    case IDC_HELP_BUTTON:
    case ID_MENU_HELP:
      OpenHelpPage(window_);
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
      return false;
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
  TheAppState().currentObjectType = &kinds_.Row(selectedKind_);
}

void MainWindow::ResetFileFields() {
  SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_SETCURSEL, selectedKind_ - 1, 0);
  SetDlgItemTextW(window_, IDC_FILE, L"");
  SetDlgItemTextW(window_, IDC_FORMAT, Widen(kinds_.Row(selectedKind_).formats).c_str());
  rawTitle_.clear();
  objectTitle_.clear();
}

void MainWindow::Open() {
  const ObjectKindRow& row = kinds_.Row(selectedKind_);
  KindFolders& kindFolders = folders(selectedKind_);
  const std::string folder = StartFolder(kindFolders);
  const std::string patterns(FilterPatterns(row));
  // Without a folder, the pattern list alone lets the dialog open in its own default folder.
  const OpenFileRequest request{row.filter, folder.empty() ? patterns : folder + "\\" + patterns,
                                GetText(TXT_OPEN_TITLE)};
  const std::optional<std::string> chosen = chooseFile_(window_, request);
  if (!chosen) return;

  AppState& state = TheAppState();
  const ChosenFile file = SplitChosenFile(*chosen);
  if (FilterAcceptsExtension(row, file.extension)) {
    kindFolders.remembered = file.folder;
    SetDlgItemTextW(window_, IDC_FILE, LowerCase(Widen(file.path)).c_str());
    displayName_ = Narrow(LowerCase(Widen(file.name)));
    rawTitle_ = file.title;
    const auto position = SendDlgItemMessageW(window_, IDC_OBJECT_TYPE, CB_GETCURSEL, 0, 0);
    state.currentObjectType = &kinds_.Row(static_cast<int>(position) + 1);
  } else {
    SetWindowTextW(window_, Widen(state.appTitle).c_str());
    rawTitle_.clear();
    SetDlgItemTextW(window_, IDC_FILE, L"");
  }
  objectTitle_ = CleanObjectTitle(rawTitle_);
  rawTitle_ = ObjectTitleText(objectTitle_);
  StoreObjectTitle(objectTitle_, state);
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
  const bool french = TheAppState().language == kFrench;
  Bitmap background = LoadResourceBitmap(french ? IDB_BACKGROUND_FRENCH : IDB_BACKGROUND_ENGLISH);
  Bitmap help = LoadResourceBitmap(french ? IDB_HELP_FRENCH : IDB_HELP_ENGLISH);
  // The Help button keeps drawing the old picture until it is given the new one.
  SetButtonPicture(IDC_HELP_BUTTON, help);
  background_ = std::move(background);
  help_ = std::move(help);
}

void MainWindow::SetButtonPicture(int id, const Bitmap& picture) {
  SendDlgItemMessageW(window_, id, BM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(picture.get()));
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
    const HGDIOBJ previous = SelectObject(memory, background_.get());
    BitBlt(dc, kBackgroundLeft, kBackgroundTop, kBackgroundWidth, kBackgroundHeight, memory, 0, 0,
           SRCCOPY);
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
