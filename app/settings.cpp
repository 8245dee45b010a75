#include "app/settings.h"

#include <filesystem>
#include <optional>

#include "app/object_kinds.h"
#include "platform/format_text.h"
#include "platform/known_folders.h"
#include "platform/registry_store.h"
#include "runtime/app_state.h"
#include "runtime/message_catalogue.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

constexpr std::int32_t kDefaultPort = 1;
constexpr std::int32_t kDefaultCombo = kGraphic;
constexpr std::int32_t kLastPort = 256;

constexpr std::array<const char*, 5> kFolderKeys{"", "Path_Graphics", "Path_Sounds",
                                                 "Path_Animations", "Path_VCards"};

constexpr std::array<int, 4> kFolderSaveOrder{kSound, kGraphic, kAnimation, kVCard};

std::optional<std::uint32_t> ReadNumber(RegistryStore& store, RegistryStore::Key key,
                                        const char* name) {
  const auto value = store.QueryValue(key, name);
  return value ? value->AsDword() : std::nullopt;
}

std::int32_t ReadInt(RegistryStore& store, RegistryStore::Key key, const char* name,
                     std::int32_t fallback) {
  const auto number = ReadNumber(store, key, name);
  return number ? static_cast<std::int32_t>(*number) : fallback;
}

// One trailing separator is dropped: "C:\Music\" is "C:\Music", "C:\Music\\" keeps one.
std::string WithoutTrailingSeparator(std::string path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// Cuts at a character boundary of the UTF-8 text.
std::string CutPath(std::string path) {
  if (path.size() <= kMaxStoredPathBytes) return path;
  std::size_t end = kMaxStoredPathBytes;
  while (end > 0 && (static_cast<unsigned char>(path[end]) & 0xC0) == 0x80) --end;
  path.resize(end);
  return path;
}

std::string ShellFolder(KnownFolder kind) {
  std::string path = KnownFolderPath(kind);
  if (!path.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::u8path(path), ignored);
  }
  return WithoutTrailingSeparator(CutPath(std::move(path)));
}

std::string SpeedKey(std::size_t index) {
  return FormatText("Vitesse %d", static_cast<int>(index + 1));
}

void WriteLineSpeeds(RegistryStore& store, RegistryStore::Key key, const LineSpeeds& lineSpeeds) {
  for (std::size_t i = 0; i < kMaxLineSpeeds; ++i)
    store.SetValue(key, SpeedKey(i),
                   RegistryValue::Dword(static_cast<std::uint32_t>(lineSpeeds.speeds[i])));
}

}  // namespace

void LoadSettings(AppSettings& settings) {
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, kSettingsKey));
  const auto readInt = [&](const char* name, std::int32_t fallback) {
    return key ? ReadInt(store, *key, name, fallback) : fallback;
  };

  settings.port = readInt("Port", kDefaultPort);
  if (settings.port < 0 || settings.port > kLastPort) settings.port = kDefaultPort;
  settings.language = readInt("Language", kEnglish);
  if (settings.language != kEnglish && settings.language != kFrench) settings.language = kEnglish;
  settings.patient = readInt("Patient", 0) != 0;
  settings.combo = readInt("Combo", kDefaultCombo);
  if (!IsObjectKind(settings.combo)) settings.combo = kDefaultCombo;
  settings.fitToHandset = readInt("FitToHandset", kFitNever);
  if (settings.fitToHandset < kFitNever || settings.fitToHandset > kFitAlways)
    settings.fitToHandset = kFitNever;
  settings.pictureSize = readInt("PictureSize", kPictureAsItIs);
  if (settings.pictureSize < kPictureAsItIs ||
      settings.pictureSize > static_cast<std::int32_t>(kHandsetScreens.size()))
    settings.pictureSize = kPictureAsItIs;

  const std::string documents = ShellFolder(KnownFolder::kDocuments);
  const std::string music = ShellFolder(KnownFolder::kMusic);
  const std::string pictures = ShellFolder(KnownFolder::kPictures);
  settings.defaultFolders[kSound] = music.empty() ? documents : music;
  settings.defaultFolders[kGraphic] = pictures.empty() ? documents : pictures;
  settings.defaultFolders[kAnimation] = settings.defaultFolders[kGraphic];
  settings.defaultFolders[kVCard] = documents;
  for (int kind = kGraphic; kind <= kVCard; ++kind) {
    std::optional<std::string> stored;
    if (key) {
      if (const auto value = store.QueryValue(*key, kFolderKeys[kind])) stored = value->AsString();
    }
    settings.folders[kind] =
        WithoutTrailingSeparator(CutPath(stored.value_or(settings.defaultFolders[kind])));
  }

  settings.lineSpeeds.count = kMaxLineSpeeds;
  bool complete = true;
  for (std::size_t i = 0; i < kMaxLineSpeeds; ++i) {
    const std::int32_t speed = readInt(SpeedKey(i).c_str(), 0);
    settings.lineSpeeds.speeds[i] = speed;
    // a speed that was never stored reads as 0; a negative one is no speed either
    if (speed <= 0) complete = false;
  }
  if (!complete) settings.lineSpeeds = LineSpeeds{};
}

void SaveSettings(const AppSettings& settings) {
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kSettingsKey));
  if (!key) return;
  const auto writeInt = [&](const char* name, std::int32_t number) {
    store.SetValue(*key, name, RegistryValue::Dword(static_cast<std::uint32_t>(number)));
  };
  writeInt("Port", settings.port);
  KeepSerialPortNumbers();
  writeInt("Language", settings.language);
  writeInt("Combo", settings.combo);
  writeInt("Patient", settings.patient ? 1 : 0);
  writeInt("FitToHandset", settings.fitToHandset);
  writeInt("PictureSize", settings.pictureSize);
  for (const int kind : kFolderSaveOrder)
    store.SetValue(*key, kFolderKeys[kind], RegistryValue::String(settings.folders[kind]));
  WriteLineSpeeds(store, *key, settings.lineSpeeds);
}

void SaveLineSpeeds(const LineSpeeds& lineSpeeds) {
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kSettingsKey));
  if (key) WriteLineSpeeds(store, *key, lineSpeeds);
}

bool SaveNumberSetting(const char* name, std::int32_t number) {
  // a stored port number must mean the same device at the next start
  if (std::string_view(name) == "Port") KeepSerialPortNumbers();
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kSettingsKey));
  return key &&
         store.SetValue(*key, name, RegistryValue::Dword(static_cast<std::uint32_t>(number)));
}

}  // namespace vandrel
