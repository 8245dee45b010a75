#include "app/win32/main_window.h"

#include <dbt.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/object_title.h"
#include "app/win32/gdi_objects.h"
#include "app/win32/port_names.h"
#include "app/win32/window_dpi.h"
#include "gui_test_support.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"
#include "runtime/message_catalogue.h"
#include "tests/scratch_folder.h"

namespace vandrel {
namespace {

using testing::Contains;
using testing::IsSupersetOf;

constexpr int kSettingsMenu = 1;
constexpr int kPortSubmenu = 0;

HMENU PortMenu(HWND window) {
  return GetSubMenu(GetSubMenu(GetMenu(window), kSettingsMenu), kPortSubmenu);
}

// The port menu's texts, the checked item marked with "*".
std::vector<std::string> PortItems(HWND window) {
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(PortMenu(window)); ++i) {
    wchar_t text[32] = {};
    GetMenuStringW(PortMenu(window), static_cast<UINT>(i), text, 32, MF_BYPOSITION);
    const UINT state = GetMenuState(PortMenu(window), static_cast<UINT>(i), MF_BYPOSITION);
    items.push_back(Narrow(text) + ((state & MF_CHECKED) != 0 ? "*" : ""));
  }
  return items;
}

// Every text the window shows, menu marks included, in one comparable list.
std::vector<std::string> Snapshot(HWND window) {
  std::vector<std::string> texts{WindowText(window)};
  std::function<void(HMENU, const std::string&)> walk = [&](HMENU menu, const std::string& path) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = {};
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
      info.dwTypeData = text;
      info.cch = 128;
      GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      const std::string item = path + "/" + Narrow(text);
      texts.push_back(item + ((info.fState & MFS_CHECKED) ? " (checked)" : ""));
      if (info.hSubMenu != nullptr) walk(info.hSubMenu, item);
    }
  };
  walk(GetMenu(window), "");
  const HWND combo = GetDlgItem(window, IDC_OBJECT_TYPE);
  for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
    wchar_t name[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
    texts.push_back("combo: " + Narrow(name));
  }
  texts.push_back("selected: " + std::to_string(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
  for (const int id :
       {IDC_OBJECT_TYPE_LABEL, IDC_FILE_LABEL, IDC_FORMAT_LABEL, IDC_FILE, IDC_FORMAT}) {
    texts.push_back(ItemText(window, id));
  }
  return texts;
}

// The bits of a button's picture, to tell the English Help picture from the French one.
std::vector<std::uint8_t> ButtonPicture(HWND window, int id) {
  const auto bitmap =
      reinterpret_cast<HBITMAP>(SendDlgItemMessageW(window, id, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP size{};
  if (GetObjectW(bitmap, sizeof(size), &size) == 0) return {};
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(size.bmWidthBytes * size.bmHeight));
  GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
  return bits;
}

// The colours of `control` as it paints itself, row by row.
std::vector<COLORREF> PaintedPixels(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  const HDC screen = GetDC(control);
  const HDC memory = CreateCompatibleDC(screen);
  const Bitmap canvas(CreateCompatibleBitmap(screen, client.right, client.bottom));
  const HGDIOBJ before = SelectObject(memory, canvas.get());
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
               PRF_CLIENT | PRF_ERASEBKGND);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(memory, x, y));
  SelectObject(memory, before);
  DeleteDC(memory);
  ReleaseDC(control, screen);
  return pixels;
}

class MainWindowTest : public GuiTest {
 protected:
  void Command(int id, int notification = 0) {
    SendMessageW(window_.window(), WM_COMMAND, MAKEWPARAM(id, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(window_.window(), id)));
  }

  void ChooseKind(int kind, int notification = CBN_SELCHANGE) {
    SendDlgItemMessageW(window_.window(), IDC_OBJECT_TYPE, CB_SETCURSEL, kind - 1, 0);
    Command(IDC_OBJECT_TYPE, notification);
  }

  void OpenFile(std::optional<std::string> answer) {
    answer_ = std::move(answer);
    Command(IDC_OPEN_BUTTON);
  }

  std::string Title() const { return ObjectTitleText(window_.objectTitle()); }

  std::optional<std::string> answer_;
  std::vector<OpenFileRequest> requests_;
  // The window's file dialog records what it is asked and answers `answer_`.
  MainWindow window_{ui_, dialogs_, clock_, [this](HWND, const OpenFileRequest& request) {
                       requests_.push_back(request);
                       return answer_;
                     }};
};

// Whatever the font and the DPI make of the template, every control stays inside the window and
// clear of the others, and the pictures are scaled to fill their buttons and the window. Run
// again at 144 DPI, with VANDREL_EXPECT_DPI telling the DPI to expect.
TEST_F(MainWindowTest, TemplateLayoutStaysInsideTheWindowAndThePicturesFillIt) {
  const HWND window = window_.Create();
  const int dpi = WindowDpi(window);
  if (const char* expected = std::getenv("VANDREL_EXPECT_DPI")) {
    EXPECT_EQ(dpi, std::atoi(expected));
  }
  RECT client{};
  GetClientRect(window, &client);
  std::vector<RECT> places;
  for (const int id :
       {IDC_OBJECT_TYPE_LABEL, IDC_OBJECT_TYPE, IDC_FILE_LABEL, IDC_FILE, IDC_FORMAT_LABEL,
        IDC_FORMAT, IDC_OPEN_BUTTON, IDC_SEND_BUTTON, IDC_HELP_BUTTON, IDC_QUIT_BUTTON}) {
    RECT place{};
    GetWindowRect(GetDlgItem(window, id), &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right &&
                place.bottom <= client.bottom && !IsRectEmpty(&place))
        << id;
    for (const RECT& other : places) {
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &place, &other)) << id;
    }
    places.push_back(place);
  }

  const SIZE background = BitmapSize(window_.background());
  EXPECT_EQ(background.cx, client.right);
  EXPECT_EQ(background.cy, client.bottom + ScaleToDpi(3, dpi));
  for (const int id : {IDC_OPEN_BUTTON, IDC_SEND_BUTTON, IDC_HELP_BUTTON, IDC_QUIT_BUTTON}) {
    const auto shown =
        reinterpret_cast<HBITMAP>(SendDlgItemMessageW(window, id, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP picture{};
    ASSERT_NE(GetObjectW(shown, sizeof(picture), &picture), 0);
    RECT button{};
    GetClientRect(GetDlgItem(window, id), &button);
    const int room = button.bottom - 2 * ScaleToDpi(3, dpi);
    // drawn 70 x 50, scaled to the room the button leaves it
    EXPECT_EQ(picture.bmHeight,
              std::min(room, MulDiv(button.right - 2 * ScaleToDpi(3, dpi), 50, 70)))
        << id;
    EXPECT_NEAR(picture.bmWidth * 50, picture.bmHeight * 70, 70) << id;
  }
}

TEST_F(MainWindowTest, StartsWithTitleNoticeFormatLineAndRenamedMenus) {
  const HWND window = window_.Create();
  EXPECT_EQ(WindowText(window), "Vandrel v6.03");
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].kind, BoxKind::kNotice);
  EXPECT_EQ(boxes_.boxes[0].text, GetText(TXT_ABOUT_TEXT));
  EXPECT_EQ(ItemText(window, IDC_FORMAT), "BMP,GIF,JPG,PNG,WBMP,EMS_GR");
  EXPECT_EQ(ItemText(window, IDC_FILE), "");
  EXPECT_EQ(window_.selectedKind(), kGraphic);

  EXPECT_THAT(Snapshot(window), Contains("/&Settings/&Language/&English (checked)"));
}

TEST_F(MainWindowTest, KindChangeResetsTheFileFieldsEvenForTheSameKind) {
  const HWND window = window_.Create();
  OpenFile("C:\\Pictures\\beach.png");
  ASSERT_EQ(ItemText(window, IDC_FILE), "c:\\pictures\\beach.png");

  ChooseKind(kAnimation);
  EXPECT_EQ(window_.selectedKind(), kAnimation);
  EXPECT_EQ(ItemText(window, IDC_FILE), "");
  EXPECT_EQ(ItemText(window, IDC_FORMAT), "GIF,EMS_AN,QV1,MNG");
  EXPECT_EQ(Title(), "");

  OpenFile("C:\\Pictures\\spin.gif");
  ASSERT_EQ(Title(), "spin");
  ChooseKind(kAnimation, CBN_CLOSEUP);
  EXPECT_EQ(ItemText(window, IDC_FILE), "");
  EXPECT_EQ(Title(), "");
}

TEST_F(MainWindowTest, OpenShowsTheLowerCasedPathAndCleansTheTitle) {
  const HWND window = window_.Create();
  OpenFile("C:\\Photos\\\xC3\x89t\xC3\xA9\x01 at the Seaside Resort.JPG");
  EXPECT_EQ(ItemText(window, IDC_FILE),
            "c:\\photos\\\xC3\xA9t\xC3\xA9\x01 at the seaside resort.jpg");
  EXPECT_EQ(window_.displayName(), "\xC3\xA9t\xC3\xA9\x01 at the seaside resort.jpg");
  EXPECT_EQ(Title(), "\xC3\x89t\xC3\xA9 at the Seaside R");
  const AppState& state = window_.state();
  EXPECT_EQ(state.titleChars[0], 0xC9);
  EXPECT_EQ(state.titleChars[3], ' ');
  EXPECT_EQ(window_.folders(kGraphic).remembered, "C:\\Photos");
}

TEST_F(MainWindowTest, OpenAsksForTheKindsFilesFromAnExistingFolder) {
  window_.Create();
  ChooseKind(kVCard);
  window_.folders(kVCard) = {"C:\\no such folder", "C:\\no such default"};
  OpenFile(std::nullopt);
  const ScratchFolder existing;
  window_.folders(kVCard).fallback = existing.path().string();
  OpenFile(std::nullopt);

  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[0].filter, "vCards (*.vcf)|*.vcf|");
  EXPECT_EQ(requests_[0].title, "Open");
  EXPECT_EQ(requests_[0].initialFileName, "*.vcf");
  EXPECT_EQ(requests_[1].initialFileName, existing.path().string() + "\\*.vcf");
}

TEST_F(MainWindowTest, ExtensionOutsideTheKindDropsTheChoice) {
  const HWND window = window_.Create();
  OpenFile("C:\\Pictures\\logo.bmp");
  ASSERT_EQ(Title(), "logo");
  SetWindowTextW(window, L"something else");

  OpenFile("C:\\Docs\\notes.txt");
  EXPECT_EQ(ItemText(window, IDC_FILE), "");
  EXPECT_EQ(Title(), "");
  EXPECT_EQ(WindowText(window), "Vandrel v6.03");
  EXPECT_EQ(window_.folders(kGraphic).remembered, "C:\\Pictures");

  OpenFile("C:\\Docs\\README");
  EXPECT_EQ(ItemText(window, IDC_FILE), "c:\\docs\\readme");
  EXPECT_EQ(Title(), "README");
}

TEST_F(MainWindowTest, LanguageRoundTripRestoresEveryTextAndPicture) {
  const HWND window = window_.Create();
  ChooseKind(kSound);
  OpenFile("C:\\Sounds\\Ring.wav");
  const std::vector<std::string> english = Snapshot(window);
  const std::vector<std::uint8_t> englishHelp = ButtonPicture(window, IDC_HELP_BUTTON);
  ASSERT_FALSE(englishHelp.empty());

  Command(ID_MENU_FRENCH);
  // the labels keep their English texts
  EXPECT_THAT(Snapshot(window),
              IsSupersetOf({"/&Fichier/&Ouvrir Fichier", "combo: Fichiers Son", "selected: 1",
                            "c:\\sounds\\ring.wav", "Object Type :"}));
  EXPECT_NE(ButtonPicture(window, IDC_HELP_BUTTON), englishHelp);
  EXPECT_EQ(Title(), "Ring");

  Command(ID_MENU_ENGLISH);
  EXPECT_EQ(Snapshot(window), english);
  EXPECT_EQ(ButtonPicture(window, IDC_HELP_BUTTON), englishHelp);
}

// A click reaches the window through the item's own command, which is not in sequence for all.
TEST_F(MainWindowTest, PortMenuListsTheEightLowestPortsAndStoresTheOneClicked) {
  ListSerialPorts(registry_, {12, 9, 8, 7, 6, 5, 4, 3, 1});
  registry_.StoreSetting("Port", 3);
  const HWND window = window_.Create();
  EXPECT_EQ(PortItems(window), (std::vector<std::string>{"Auto", "COM1", "COM3*", "COM4", "COM5",
                                                         "COM6", "COM7", "COM8", "COM9"}));
  EXPECT_EQ(window_.state().portSelection->port, 3);

  Command(static_cast<int>(GetMenuItemID(PortMenu(window), 8)));
  EXPECT_EQ(PortItems(window)[8], "COM9*");
  EXPECT_EQ(PortItems(window)[2], "COM3");
  EXPECT_EQ(window_.state().portSelection->port, 9);
  EXPECT_EQ(WindowText(window), "Vandrel v6.03 - COM9");
  Command(IDC_QUIT_BUTTON);
  EXPECT_EQ(registry_.StoredSetting("Port"), RegistryValue::Dword(9));
}

// The adapter of the stored port is unplugged: this run uses the first listed port and says so,
// and the stored one is kept for the next run unless the user chooses a port.
TEST_F(MainWindowTest, AStoredPortThatIsNotListedIsNamedAndKeptUnlessAnotherIsChosen) {
  ListSerialPorts(registry_, {2, 4});
  registry_.StoreSetting("Port", 33);
  const HWND window = window_.Create();
  EXPECT_EQ(window_.state().portSelection->port, 2);
  EXPECT_EQ(WindowText(window), "Vandrel v6.03 - COM2");
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[1].kind, BoxKind::kNotice);
  EXPECT_EQ(boxes_.boxes[1].text, "COM33 is not connected; using COM2 for now");
  Command(IDC_QUIT_BUTTON);
  EXPECT_EQ(registry_.StoredSetting("Port"), RegistryValue::Dword(33));

  MainWindow second{ui_, dialogs_, clock_};
  second.Create();
  SendMessageW(second.window(), WM_COMMAND, ID_MENU_PORT_1, 0);
  SendMessageW(second.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(registry_.StoredSetting("Port"), RegistryValue::Dword(2));
}

// What Windows tells every top-level window when a serial device comes or goes.
void PortDeviceMessage(HWND window, WPARAM event) {
  DEV_BROADCAST_PORT_W port{};
  port.dbcp_size = sizeof(port);
  port.dbcp_devicetype = DBT_DEVTYP_PORT;
  SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&port));
}

// The USB adapter of the stored port is plugged in after the start, then another one is
// unplugged: the menu follows, and the stored port is taken back and stays checked.
TEST_F(MainWindowTest, PortMenuFollowsDevicesAndKeepsTheStoredPortChecked) {
  ListSerialPorts(registry_, {3});
  registry_.StoreSetting("Port", 5);
  const HWND window = window_.Create();
  ASSERT_EQ(PortItems(window), (std::vector<std::string>{"Auto", "COM3*"}));

  ListSerialPorts(registry_, {3, 5});
  PortDeviceMessage(window, DBT_DEVICEARRIVAL);
  EXPECT_EQ(PortItems(window), (std::vector<std::string>{"Auto", "COM3", "COM5*"}));
  EXPECT_EQ(window_.state().portSelection->port, 5);
  EXPECT_EQ(WindowText(window), "Vandrel v6.03 - COM5");

  // unplugged: the system's value no longer names a port
  registry_.Tree().SetValue(RegistryRoot::kLocalMachine, kSerialCommKey, "\\Device\\Serial3",
                            RegistryValue::String(""));
  PortDeviceMessage(window, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(PortItems(window), (std::vector<std::string>{"Auto", "COM5*"}));
  EXPECT_EQ(window_.state().portSelection->port, 5);
}

TEST(PortItemText, TheFriendlyNameNamesThePortOnce) {
  EXPECT_EQ(PortItemText(5, ""), "COM5");
  EXPECT_EQ(PortItemText(5, "USB Serial Device (COM5)"), "USB Serial Device (COM5)");
  EXPECT_EQ(PortItemText(5, "Infrared link (COM50)"), "Infrared link (COM50) (COM5)");
}

TEST_F(MainWindowTest, WithoutASerialPortKeyTheWindowIsStillComplete) {
  const HWND window = window_.Create();
  ASSERT_EQ(PortItems(window).size(), 1u);
  EXPECT_EQ(window_.state().portSelection->port, 0);
  EXPECT_EQ(SendDlgItemMessageW(window, IDC_OBJECT_TYPE, CB_GETCOUNT, 0, 0), 4);

  Command(ID_MENU_AUTO);
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[1].kind, BoxKind::kPlain);
  EXPECT_EQ(boxes_.boxes[1].text, GetText(TXT_NOT_FOUND_ANY_PORT));
}

TEST_F(MainWindowTest, SettingsAreLoadedAtStartAndSavedOnDestruction) {
  registry_.StoreSetting("Language", kFrench);
  registry_.StoreSetting("Combo", kAnimation);
  registry_.StoreSetting("Path_Animations", RegistryValue::String("C:\\Spins\\"));
  registry_.StoreSetting("Patient", 1);
  const HWND window = window_.Create();
  EXPECT_EQ(WindowText(window), "Vandrel v6.03");
  EXPECT_TRUE(window_.state().patientWaits);
  EXPECT_EQ(SendDlgItemMessageW(window, IDC_OBJECT_TYPE, CB_GETCURSEL, 0, 0), kAnimation - 1);
  EXPECT_EQ(ItemText(window, IDC_FORMAT), "GIF,EMS_AN,QV1,MNG");
  EXPECT_EQ(window_.selectedKind(), kAnimation);
  EXPECT_EQ(window_.folders(kAnimation).remembered, "C:\\Spins");
  EXPECT_THAT(Snapshot(window), Contains("combo: Fichiers Image"));

  ChooseKind(kVCard);
  Command(ID_MENU_ENGLISH);
  EXPECT_THAT(Snapshot(window), Contains("/&Settings/&Patient waits (checked)"));
  Command(IDC_QUIT_BUTTON);
  EXPECT_EQ(registry_.StoredSetting("Combo"), RegistryValue::Dword(kVCard));
  EXPECT_EQ(registry_.StoredSetting("Language"), RegistryValue::Dword(kEnglish));
  EXPECT_EQ(registry_.StoredSetting("Port"), RegistryValue::Dword(1));
  EXPECT_EQ(registry_.StoredSetting("Path_Animations"), RegistryValue::String("C:\\Spins"));
  EXPECT_EQ(registry_.StoredSetting("Patient"), RegistryValue::Dword(1));
}

// Stored at once, as vandrel-cli config --patient does, and taken by the next send.
TEST_F(MainWindowTest, PatientWaitsItemTogglesTheStoredSetting) {
  const HWND window = window_.Create();
  EXPECT_THAT(Snapshot(window), Contains("/&Settings/&Patient waits"));
  Command(ID_MENU_PATIENT);
  EXPECT_TRUE(window_.state().patientWaits);
  EXPECT_EQ(registry_.StoredSetting("Patient"), RegistryValue::Dword(1));
  Command(ID_MENU_FRENCH);
  EXPECT_THAT(Snapshot(window), Contains("/&Param\xC3\xA9trages/&Attentes patientes (checked)"));
  Command(ID_MENU_PATIENT);
  EXPECT_FALSE(window_.state().patientWaits);
  EXPECT_EQ(registry_.StoredSetting("Patient"), RegistryValue::Dword(0));
}

// Send without a file asks for one and enables its button again; Help without its page says so.
TEST_F(MainWindowTest, ButtonsThatCannotActWarn) {
  const HWND window = window_.Create();
  Command(IDC_SEND_BUTTON);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_SEND_BUTTON)));
  EXPECT_TRUE(boxes_.progressPhases.empty());
  Command(IDC_HELP_BUTTON);
  ASSERT_EQ(boxes_.boxes.size(), 3u);
  EXPECT_EQ(boxes_.boxes[1].kind, BoxKind::kWarning);
  EXPECT_EQ(boxes_.boxes[1].text, "Object filename must be specified !");
  EXPECT_EQ(boxes_.boxes[2].kind, BoxKind::kWarning);
  EXPECT_EQ(boxes_.boxes[2].text, "Failed to launch help.");
}

// A stray Enter or Escape is turned by the dialog manager into its default buttons, which must not
// end the program; Quit and the close box do.
TEST_F(MainWindowTest, EnterAndEscapeInEachControlLeaveTheWindowOpen) {
  const HWND window = window_.Create();
  for (const int id : {IDC_OBJECT_TYPE, IDC_FILE, IDC_FORMAT, IDC_OPEN_BUTTON}) {
    for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
      const HWND control = GetDlgItem(window, id);
      SetFocus(control);
      MSG message{control, WM_KEYDOWN, key, 0, 0, {}};
      IsDialogMessageW(window, &message);
      ASSERT_TRUE(IsWindow(window)) << id << " " << key;
    }
  }
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(window_.window(), nullptr);
}

// Tab goes through the controls in the order they are laid out, and a screen reader finds a name
// for each: its own text, or for a field the label before it.
TEST_F(MainWindowTest, TabReachesEveryControlInLayoutOrderAndEachHasAName) {
  const HWND window = window_.Create();
  std::vector<int> order;
  std::vector<std::string> names;
  HWND control = GetDlgItem(window, IDC_OBJECT_TYPE);
  do {
    order.push_back(GetDlgCtrlID(control));
    const HWND label = GetWindow(control, GW_HWNDPREV);
    char className[16] = {};
    GetClassNameA(control, className, sizeof(className));
    names.push_back(std::string(className) == "Button" ? WindowText(control) : WindowText(label));
    control = GetNextDlgTabItem(window, control, FALSE);
  } while (control != GetDlgItem(window, IDC_OBJECT_TYPE) && order.size() < 20);
  EXPECT_EQ(order, (std::vector<int>{IDC_OBJECT_TYPE, IDC_FILE, IDC_OPEN_BUTTON, IDC_SEND_BUTTON,
                                     IDC_HELP_BUTTON, IDC_QUIT_BUTTON}));
  EXPECT_EQ(names, (std::vector<std::string>{"Object Type :", "File :", "Open file", "Send file",
                                             "Help", "Quit"}));

  Command(ID_MENU_FRENCH);
  EXPECT_EQ(ItemText(window, IDC_OPEN_BUTTON), "Ouvrir le fichier");
}

// The picture buttons show no text: a focus rectangle, drawn from the start and not only once a
// key was pressed, is all that tells where Tab went. It is drawn inside the button's frame.
TEST_F(MainWindowTest, ThePictureButtonWithTheFocusDrawsAFocusRectangle) {
  const HWND window = window_.Create();
  const HWND send = GetDlgItem(window, IDC_SEND_BUTTON);
  SetFocus(GetDlgItem(window, IDC_OPEN_BUTTON));
  const std::vector<COLORREF> unfocused = PaintedPixels(send);
  SetFocus(send);
  ASSERT_EQ(GetFocus(), send);
  const std::vector<COLORREF> focused = PaintedPixels(send);
  ASSERT_EQ(focused.size(), unfocused.size());

  RECT client{};
  GetClientRect(send, &client);
  const int width = client.right;
  const int height = client.bottom;
  constexpr int kFrame = 6;
  int changed = 0;
  int insideTheFrame = 0;
  for (std::size_t i = 0; i < focused.size(); ++i) {
    if (focused[i] == unfocused[i]) continue;
    ++changed;
    const int x = static_cast<int>(i) % width;
    const int y = static_cast<int>(i) / width;
    if (x >= kFrame && x < width - kFrame && y >= kFrame && y < height - kFrame) ++insideTheFrame;
  }
  // a dotted outline: about every other pixel of a rectangle just inside the button's edge
  EXPECT_GT(changed, width + height - 4 * kFrame);
  EXPECT_EQ(insideTheFrame, 0);
}

// One file dropped is taken as if chosen in Open, under the kind its extension gives.
TEST_F(MainWindowTest, DroppingOneFileFillsTheWindowAsOpenDoes) {
  const HWND window = window_.Create();
  DropFiles(window, {"C:\\Sounds\\Ring Tone.WAV"});
  EXPECT_EQ(window_.selectedKind(), kSound);
  EXPECT_EQ(SendDlgItemMessageW(window, IDC_OBJECT_TYPE, CB_GETCURSEL, 0, 0), kSound - 1);
  EXPECT_EQ(ItemText(window, IDC_FILE), "c:\\sounds\\ring tone.wav");
  EXPECT_EQ(ItemText(window, IDC_FORMAT), "MID,WAV,AQV1,AQV2,IMY,AMR");
  EXPECT_EQ(Title(), "Ring Tone");
  EXPECT_EQ(window_.folders(kSound).remembered, "C:\\Sounds");

  DropFiles(window, {"C:\\Docs\\notes.txt"});
  EXPECT_EQ(window_.selectedKind(), kSound);
  EXPECT_EQ(ItemText(window, IDC_FILE), "");
  EXPECT_EQ(Title(), "");
}

}  // namespace
}  // namespace vandrel
