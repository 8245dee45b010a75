#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/object_kinds.h"
#include "app/port_list.h"
#include "app/send_outcome.h"
#include "app/start_up.h"
#include "app/win32/dialog_dispatch.h"
#include "app/win32/gdi_objects.h"
#include "app/win32/menu_bar.h"
#include "app/win32/open_file_dialog.h"
#include "handset/line_speeds.h"
#include "objects/event_log.h"
#include "objects/media_file.h"
#include "platform/clock.h"
#include "platform/stoppable_clock.h"
#include "runtime/app_state.h"
#include "runtime/progress_display.h"

namespace vandrel {

class Win32UserInterface;

// The folders that the Open command starts in for one kind: the one last used, and the default
// taken from the user's shell folders.
struct KindFolders {
  std::string remembered;
  std::string fallback;
};

// The program's one window: the object-type choice, the chosen file and its format line, four
// picture buttons over a background picture, and the menu bar. Its life is the program's. Boxes
// and progress go to `shown`; a send shows its progress in a dialog attached to `dialogs` for that
// send (`shown` is normally `dialogs` itself).
class MainWindow {
 public:
  // Every wait of the window and of its sends is on `clock`.
  MainWindow(UserInterface& shown, Win32UserInterface& dialogs, Clock& clock,
             OpenFileChooser chooseFile = ChooseFileWithDialog);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs the window modally until the user quits.
  void Run();
  // Creates the window, hidden, and returns at once; the caller's message loop drives it, and
  // Quit destroys it. For tests, which need neither a loop of the window's own nor its showing.
  HWND Create();

  HWND window() const { return window_; }
  // Once created: the running record, and the serial ports the Port menu lists.
  const AppState& state() const { return start_->state; }
  // The title that the next send gives the object: the chosen file's name, cleaned.
  const std::string& objectTitle() const { return objectTitle_; }
  // The chosen file's name with its extension, lower-cased, for the progress caption.
  const std::string& displayName() const { return displayName_; }
  int selectedKind() const { return selectedKind_; }
  KindFolders& folders(int kind);
  const PortList& ports() const { return start_->ports; }
  // The background as painted: the client area and the strip above it.
  const Bitmap& background() const { return backgroundShown_; }

 private:
  friend struct DialogDispatch<MainWindow>;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND window);
  bool HandleCommand(int id, int notification);
  void Close();
  // The window's own part of the stored settings: the kind, the folders, the stored port.
  void TakeSettings(const AppSettings& settings);
  void SaveSettings() const;

  void FillObjectTypes();
  void ChangeKind();
  void ResetFileFields();
  void Open();
  // The file at `path` as chosen under the selected kind: shown, its title taken.
  void TakeFile(const std::string& path);
  void DropFiles(const std::vector<std::string>& paths);
  void Send();
  SendOutcome RunSend(const MediaFile& file, EventLog& log);
  void ChoosePort(int position);
  // A serial device came or went: the Port menu follows, now or once the window is no longer busy.
  void PortsChanged();
  void EndBusy();
  void ShowCaption();
  // Gives each picture button the text it stands for, in the current language.
  void NameButtons();
  void TogglePatience();
  // A choice of the Fit to handset or Picture size submenu; false for any other command.
  bool ChooseFitting(int command);
  void SearchPorts();
  void ChangeLanguage(int language);
  // A button's picture as drawn, and as shown: scaled to fill the button.
  struct ButtonPicture {
    Bitmap drawn;
    Bitmap shown;
  };
  void LoadLanguagePictures();
  void SetDataFont();
  void ShowPictures();
  void ShowButtonPicture(int id, ButtonPicture& picture);
  void ScaleBackground();
  void ChangeDpi(const RECT& suggested);
  int BackgroundOffset() const;
  void Paint();
  INT_PTR ColourControl(HDC dc, HWND control);

  UserInterface& shown_;
  Win32UserInterface& dialogs_;
  Clock& clock_;
  // The "Auto" search's clock, which its Cancel stops. The ports it opens keep it for their
  // threads until the window closes them.
  StoppableClock searchClock_{clock_};
  OpenFileChooser chooseFile_;
  // The start-up every front end goes through, made with the window: the settings, the port
  // list and the running record, which the send's worker reads while this thread waits for it.
  std::optional<StartUp> start_;
  ProgressDisplay progress_{shown_};
  HWND window_ = nullptr;
  bool modal_ = false;
  HICON icon_ = nullptr;
  MenuBar menuBar_;
  ObjectKindList kinds_;
  // The port the settings held at start, saved again unless the user chooses another: a start
  // without the USB adapter must not lose it.
  std::int32_t storedPort_ = 1;
  bool portChosen_ = false;
  // A send, a batch or the search is under way; a port change seen meanwhile waits for its end.
  bool busy_ = false;
  bool portsChanged_ = false;
  int selectedKind_ = kGraphic;
  std::array<KindFolders, kObjectKindCount> folders_;
  std::string rawTitle_;
  std::string objectTitle_;
  std::string displayName_;

  Font dataFont_;
  ButtonPicture open_;
  ButtonPicture send_;
  ButtonPicture help_;
  ButtonPicture quit_;
  Bitmap background_;
  Bitmap backgroundShown_;  // the window's client area and the strip above it
};

}  // namespace vandrel
