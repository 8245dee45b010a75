#include "app/win32/main_window.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/message_catalogue.h"
#include "app/object_title.h"
#include "gui_test_support.h"
#include "platform/utf16.h"
#include "resources/resource_ids.h"

namespace vandrel {
namespace {

constexpr int kSettingsMenu = 1;
constexpr int kLanguageSubmenu = 1;

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

// The pixels of a button's picture, to tell the English Help picture from the French one.
std::vector<std::uint8_t> ButtonPicture(HWND window, int id) {
  const auto bitmap =
      reinterpret_cast<HBITMAP>(SendDlgItemMessageW(window, id, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP size{};
  if (GetObjectW(bitmap, sizeof(size), &size) == 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.bmWidth;
  info.bmiHeader.biHeight = size.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size.bmWidth * size.bmHeight) * 4);
  const HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(size.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return pixels;
}

class MainWindowTest : public GuiTest {
 protected:
  // A file dialog that records what it was asked and answers with `answer`.
  OpenFileChooser ScriptedChooser() {
    return [this](HWND, const OpenFileRequest& request) {
      requests_.push_back(request);
      return answer_;
    };
  }

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
  MainWindow window_{ScriptedChooser()};
};

TEST_F(MainWindowTest, StartsWithTitleNoticeFormatLineAndRenamedMenus) {
  const HWND window = window_.Create();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "Vandrel v6.03");
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].kind, BoxKind::kNotice);
  EXPECT_EQ(boxes_.boxes[0].text, GetText(TXT_ABOUT_TEXT));
  EXPECT_EQ(ItemText(window, IDC_FORMAT), "BMP,GIF,JPG,PNG,WBMP,EMS_GR");
  EXPECT_EQ(ItemText(window, IDC_FILE), "");
  ASSERT_NE(TheAppState().currentObjectType, nullptr);
  EXPECT_EQ(TheAppState().currentObjectType->kind, kGraphic);

  const std::vector<std::string> expected{
      "Vandrel v6.03",
      "/&File",
      "/&File/&Open File",
      "/&File/&Send File",
      "/&File/",
      "/&File/&Quit",
      "/&Settings",
      "/&Settings/&Port",
      "/&Settings/&Port/Auto",
      "/&Settings/&Language",
      "/&Settings/&Language/&English (checked)",
      "/&Settings/&Language/&French",
      "/&?",
      "/&?/&Help",
      "/&?/&About",
      "combo: Graphic Files",
      "combo: Sound Files",
      "combo: Animations",
      "combo: vCards",
      "selected: 0",
      "Object Type :",
      "File :",
      "Format :",
      "",
      "BMP,GIF,JPG,PNG,WBMP,EMS_GR",
  };
  EXPECT_EQ(Snapshot(window), expected);
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
  EXPECT_EQ(TheAppState().currentObjectType->kind, kAnimation);

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
  const AppState& state = TheAppState();
  EXPECT_EQ(state.titleChars[0], 0xC9);
  EXPECT_EQ(state.titleChars[3], ' ');
  EXPECT_EQ(state.currentObjectType->kind, kGraphic);
  EXPECT_EQ(window_.folders(kGraphic).remembered, "C:\\Photos");
}

TEST_F(MainWindowTest, OpenAsksForTheKindsFilesFromAnExistingFolder) {
  window_.Create();
  ChooseKind(kVCard);
  window_.folders(kVCard).remembered = "C:\\no such folder";
  OpenFile(std::nullopt);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::string existing = Narrow(temp);
  existing.pop_back();
  window_.folders(kVCard).fallback = existing;
  OpenFile(std::nullopt);

  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[0].filter, "vCards (*.vcf)|*.vcf|");
  EXPECT_EQ(requests_[0].title, "Open");
  EXPECT_EQ(requests_[0].initialFileName, "*.vcf");
  EXPECT_EQ(requests_[1].initialFileName, existing + "\\*.vcf");
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
  const std::vector<std::string> french = Snapshot(window);
  for (const char* text :
       {"/&Fichier/&Ouvrir Fichier", "/&Param\xC3\xA9trages/&Port/Auto",
        "/&Param\xC3\xA9trages/&Langage/&Fran\xC3\xA7"
        "ais (checked)",
        "/&Param\xC3\xA9trages/&Langage/&Anglais", "/&?/A &Propos de...", "combo: Fichiers Son",
        "combo: Cartes de visite", "selected: 1", "c:\\sounds\\ring.wav", "Object Type :"}) {
    EXPECT_NE(std::find(french.begin(), french.end(), text), french.end()) << text;
  }
  EXPECT_NE(ButtonPicture(window, IDC_HELP_BUTTON), englishHelp);
  EXPECT_EQ(Title(), "Ring");

  Command(ID_MENU_ENGLISH);
  EXPECT_EQ(Snapshot(window), english);
  EXPECT_EQ(ButtonPicture(window, IDC_HELP_BUTTON), englishHelp);
}

TEST_F(MainWindowTest, HelpWithoutItsPageSaysSo) {
  window_.Create();
  Command(IDC_HELP_BUTTON);
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[1].kind, BoxKind::kWarning);
  EXPECT_EQ(boxes_.boxes[1].text, "Failed to launch help.");
}

TEST_F(MainWindowTest, EscapeClosesTheWindow) {
  const HWND window = window_.Create();
  Command(IDCANCEL);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(window_.window(), nullptr);
}

}  // namespace
}  // namespace vandrel
