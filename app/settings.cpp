#include "app/settings.h"

#include <filesystem>
#include <optional>

#include "platform/format_text.h"
#include "platform/known_folders.h"
#include "platform/registry_store.h"
#include "serial/port_map.h"

namespace vandrel {

namespace {

std::optional<std::int32_t> ReadInt(RegistryStore& store, RegistryStore::Key key,
                                    const std::string& name) {
  const auto value = store.QueryValue(key, name);
  const auto number = value ? value->AsDword() : std::nullopt;
  if (!number) return std::nullopt;
  return static_cast<std::int32_t>(*number);
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
  const auto read = [&](const NumberSetting& setting) {
    const auto stored = key ? ReadInt(store, *key, setting.key) : std::nullopt;
    return stored ? setting.Checked(*stored) : setting.fallback;
  };
  settings.port = read(kPortSetting);
  settings.language = read(kLanguageSetting);
  settings.patient = read(kPatientSetting) != 0;
  settings.combo = read(kComboSetting);
  settings.fitToHandset = read(kFitSetting);
  settings.pictureSize = read(kPictureSizeSetting);

  const std::string documents = ShellFolder(KnownFolder::kDocuments);
  const std::string music = ShellFolder(KnownFolder::kMusic);
  const std::string pictures = ShellFolder(KnownFolder::kPictures);
  settings.defaultFolders[kSound] = music.empty() ? documents : music;
  settings.defaultFolders[kGraphic] = pictures.empty() ? documents : pictures;
  settings.defaultFolders[kAnimation] = settings.defaultFolders[kGraphic];
  settings.defaultFolders[kVCard] = documents;
  for (const FolderSetting& folder : kFolderSettings) {
    std::optional<std::string> stored;
    if (key) {
      if (const auto value = store.QueryValue(*key, folder.key)) stored = value->AsString();
    }
    settings.folders[folder.kind] =
        WithoutTrailingSeparator(CutPath(stored.value_or(settings.defaultFolders[folder.kind])));
  }

  settings.lineSpeeds.count = kMaxLineSpeeds;
  bool complete = true;
  for (std::size_t i = 0; i < kMaxLineSpeeds; ++i) {
    const std::int32_t speed = key ? ReadInt(store, *key, SpeedKey(i)).value_or(0) : 0;
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
  const auto write = [&](const NumberSetting& setting, std::int32_t number) {
    store.SetValue(*key, setting.key, RegistryValue::Dword(static_cast<std::uint32_t>(number)));
  };
  write(kPortSetting, settings.port);
  KeepSerialPortNumbers();
  write(kLanguageSetting, settings.language);
  write(kComboSetting, settings.combo);
  write(kPatientSetting, settings.patient ? 1 : 0);
  write(kFitSetting, settings.fitToHandset);
  write(kPictureSizeSetting, settings.pictureSize);
  for (const FolderSetting& folder : kFolderSettings)
    store.SetValue(*key, folder.key, RegistryValue::String(settings.folders[folder.kind]));
  WriteLineSpeeds(store, *key, settings.lineSpeeds);
}

void SaveLineSpeeds(const LineSpeeds& lineSpeeds) {
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kSettingsKey));
  if (key) WriteLineSpeeds(store, *key, lineSpeeds);
}

bool SaveNumberSetting(const NumberSetting& setting, std::int32_t number) {
  // a stored port number must mean the same device at the next start
  if (std::string_view(setting.key) == kPortSetting.key) KeepSerialPortNumbers();
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kSettingsKey));
  return key && store.SetValue(*key, setting.key,
                               RegistryValue::Dword(static_cast<std::uint32_t>(number)));
}

}  // namespace vandrel
