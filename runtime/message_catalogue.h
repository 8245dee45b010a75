#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vandrel {

// Numbers of the catalogue's texts. Positions 0, 33, 57, 60, 71 and 82..89 hold nothing
// displayed.
enum TextId : int {
  TXT_ABOUT_TITLE = 1,
  TXT_IN_PROGRESS = 2,
  TXT_LOADING_ADPCM = 3,
  TXT_LOADING_PCM = 4,
  TXT_TRANSFER_INIT = 5,
  TXT_NO_OBJECT_FILE = 6,
  TXT_DOWNLOAD_OK = 7,
  TXT_ERROR = 8,
  TXT_FILE_OPEN_FAILED = 9,
  TXT_FILE_WRITE_FAILED = 10,
  TXT_FILE_CLOSE_FAILED = 11,
  TXT_RESULT_DIR_FAILED = 12,
  TXT_PORT_UNAVAILABLE = 13,
  TXT_PHONE_STORAGE_FULL = 14,
  TXT_PHONE_MEMORY_LOW = 15,
  TXT_PREMATURE_END = 16,
  TXT_WRONG_PORT_PARAMS = 17,
  TXT_BUFFER_ALLOC_FAILED = 18,
  TXT_MUTEX_FAILED = 19,
  TXT_PORT_CLOSE_FAILED = 20,
  TXT_PORT_READ_FAILED = 21,
  TXT_PORT_WRITE_FAILED = 22,
  TXT_PORT_TIMEOUT = 23,
  TXT_UNEXPECTED_RESPONSE = 24,
  TXT_UNEXPECTED_RESPONSE_REBOOT = 25,
  TXT_ANALYSIS_PROBLEM = 26,
  TXT_PHONE_ERROR_RESPONSE = 27,
  TXT_CONNECT_FAILED_SPEED = 28,
  TXT_NO_SIM = 29,
  TXT_ALLOC_FAILED = 30,
  TXT_FILE_BAD_FORMAT = 31,
  TXT_FILE_BAD_LENGTH = 32,
  TXT_SEND_FILE_TITLE = 34,
  TXT_DOWNLOADED_PERCENT = 35,
  TXT_FORMAT_UNSUPPORTED = 36,
  TXT_OBJECT_UNSUPPORTED = 37,
  TXT_FLASH_WRITE_FAILED = 38,
  TXT_SOURCE_EMPTY = 39,
  TXT_KIND_GRAPHICS = 40,
  TXT_KIND_SOUNDS = 41,
  TXT_KIND_ANIMATIONS = 42,
  TXT_KIND_VCARDS = 43,
  TXT_MENU_FILE = 44,
  TXT_MENU_OPEN = 45,
  TXT_MENU_SEND = 46,
  TXT_MENU_QUIT = 47,
  TXT_MENU_SETTINGS = 48,
  TXT_MENU_PORT = 49,
  TXT_MENU_LANGUAGE = 50,
  TXT_MENU_ENGLISH = 51,
  TXT_MENU_FRENCH = 52,
  TXT_MENU_HELP = 53,
  TXT_MENU_ABOUT = 54,
  TXT_OPEN_TITLE = 55,
  TXT_NOT_FOUND_ANY_PORT = 56,
  TXT_FOUND_HANDSET = 58,
  TXT_ABOUT_TEXT = 59,
  TXT_NO_CABLE_NO_IRDA = 61,
  TXT_CABLE_NO_HANDSET = 62,
  TXT_CABLE_NOT_COMPLIANT = 63,
  TXT_PORT_MISSING = 64,
  TXT_PORT_IN_USE = 65,
  TXT_UNKNOWN_ERROR = 66,
  TXT_PORT_OPEN_FAILED = 67,
  TXT_MODEM_REFUSED = 68,
  TXT_NO_TRANSFER_CAPABILITY = 69,
  TXT_IDENTIFY_FAILED = 70,
  // fitting sounds and pictures to the handset
  TXT_MENU_FIT = 72,
  TXT_MENU_FIT_ALWAYS = 73,
  TXT_MENU_FIT_ASK = 74,
  TXT_MENU_FIT_NEVER = 75,
  TXT_MENU_PICTURE_SIZE = 76,
  TXT_MENU_PICTURE_AS_IT_IS = 77,
  TXT_FIT_QUESTION = 78,
  TXT_FIT_DONE = 79,
  TXT_FIT_HINT = 80,
  TXT_INTERRUPTED = 81,
  // the true causes of a port that does not open
  TXT_PORT_NO_PERMISSION = 82,
  // the window's own
  TXT_PORT_NOT_CONNECTED = 83,
  TXT_MENU_PATIENT = 84,
  TXT_BATCH_SUMMARY = 85,
  TXT_BATCH_SENT = 86,
  TXT_BATCH_FAILED = 87,
  TXT_BATCH_UNKNOWN_KIND = 88,
  TXT_BUTTON_OPEN = 89,
  TXT_BUTTON_SEND = 90,
  TXT_BUTTON_HELP = 91,
  TXT_BUTTON_QUIT = 92,
  TXT_SEARCHING_PORT = 93,
  TXT_CANCEL = 94,
  TXT_FIT_PICTURE_QUESTION = 95,
  // cancelling a send
  TXT_STOP_QUESTION = 96,
  TXT_STOP_ALL_QUESTION = 97,
  TXT_SENDING_CANCELLED = 98,
  // a picture the handset takes only fitted
  TXT_GOES_ONLY_FITTED = 99,
};

inline constexpr std::size_t kTextCount = 100;
inline constexpr int kEnglish = 0;
inline constexpr int kFrench = 1;

// One language's texts, by number, in UTF-8.
using TextBlock = std::array<std::string_view, kTextCount>;

// The texts of `language` (0 English, 1 French; anything else reads as English).
const TextBlock& GetTextBlock(int language);
// The interface language, one for the whole program: every text shown from now on is in
// `language` (0 English, 1 French).
void SelectTextLanguage(int language);
int TextLanguage();
// Text `number` in the interface language; empty outside 0..kTextCount-1.
std::string GetText(int number);

}  // namespace vandrel
