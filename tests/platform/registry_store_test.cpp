#include "platform/registry_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/registry_tree.h"
#include "tests/scratch_folder.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <map>

#include "platform/file_registry_store.h"
#include "platform/ini_registry_text.h"
#endif

namespace vandrel {
namespace {

namespace fs = std::filesystem;

struct StoreKind {
  const char* name;
  std::function<std::shared_ptr<RegistryStore>(const ScratchFolder&)> make;
  // Wine's registry adds the terminating zero to a string value stored without one.
  bool keepsUnterminatedStrings = true;
};

// Each backend under test: the in-memory double everywhere, plus the platform's own store
// (the per-user file on POSIX, the real registry under Windows).
std::vector<StoreKind> StoreKinds() {
  return {{"Memory", [](const ScratchFolder&) { return std::make_shared<MemoryRegistryStore>(); }},
#ifdef _WIN32
          {"Platform",
           [](const ScratchFolder&) {
             return std::shared_ptr<RegistryStore>(&PlatformRegistryStore(), [](RegistryStore*) {});
           },
           false}};
#else
          {"Platform", [](const ScratchFolder& folder) {
             return std::make_shared<FileRegistryStore>(folder.path());
           }}};
#endif
}

class RegistryStoreTest : public testing::TestWithParam<StoreKind> {
 protected:
  ScratchFolder folder_;
  std::shared_ptr<RegistryStore> owned_ = GetParam().make(folder_);
  RegistryStore& store_ = *owned_;
  std::string keyPath_ =
      "Software\\Kesta\\VandrelTests\\" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
};

TEST_P(RegistryStoreTest, ValuesKeepTheirTypeAndExactBytes) {
  const std::vector<NamedRegistryValue> values{
      {"ADPCM_Compatibility", RegistryValue::String("No")},
      {"Bare", {RegistryType::kString, {'Y', 'e', 's'}}},
      {"Port", RegistryValue::Dword(0x01020304)},
      {"Blob", {RegistryType::kBinary, {0, 255, 10, 37}}},
      {"Path_Sounds", RegistryValue::String("C:\\Musique\\été")},
      {"Long ; awkward=name",
       RegistryValue::String(" a text ; longer than a line " + std::string(200, 'x') + "\n")},
      {"Empty", {RegistryType::kBinary, {}}},
      {"Note", RegistryValue::String("a ; b")}};
  {
    ScopedRegistryKey key(store_, store_.CreateKey(RegistryRoot::kCurrentUser, keyPath_));
    ASSERT_TRUE(key);
    for (const auto& [name, value] : values) EXPECT_TRUE(store_.SetValue(*key, name, value));
  }
  ScopedRegistryKey key(store_, store_.OpenKey(RegistryRoot::kCurrentUser, keyPath_));
  ASSERT_TRUE(key);
  std::vector<NamedRegistryValue> enumerated;
  for (std::uint32_t i = 0; auto value = store_.EnumValue(*key, i); ++i)
    enumerated.push_back(*value);
  EXPECT_EQ(store_.ValueCount(*key), values.size());
  for (const auto& [name, value] : values) {
    if (name == "Bare" && !GetParam().keepsUnterminatedStrings) continue;
    EXPECT_EQ(store_.QueryValue(*key, name), value) << name;
    EXPECT_EQ(std::ranges::count(enumerated, NamedRegistryValue{name, value}), 1) << name;
  }
  EXPECT_EQ(store_.QueryValue(*key, "adpcm_compatibility")->data,
            (std::vector<std::uint8_t>{'N', 'o', 0}));
  EXPECT_FALSE(store_.QueryValue(*key, "Missing"));
}

TEST_P(RegistryStoreTest, MissingKeysDoNotOpenAndCreateMakesParents) {
  EXPECT_FALSE(store_.OpenKey(RegistryRoot::kCurrentUser, keyPath_ + "\\IMEI\\123"));
  ScopedRegistryKey created(store_,
                            store_.CreateKey(RegistryRoot::kCurrentUser, keyPath_ + "\\IMEI\\123"));
  ASSERT_TRUE(created);
  // the file store keeps a key that holds a value, and with it its parents
  ASSERT_TRUE(store_.SetValue(*created, "ADPCM", RegistryValue::String("No")));
  ScopedRegistryKey parent(store_, store_.OpenKey(RegistryRoot::kCurrentUser, keyPath_ + "\\IMEI"));
  EXPECT_TRUE(parent);
  EXPECT_FALSE(store_.EnumValue(*parent, 0));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryStoreTest, testing::ValuesIn(StoreKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32

std::optional<std::uint32_t> ReadPort(FileRegistryStore& store) {
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  if (!key) return std::nullopt;
  const auto value = store.QueryValue(*key, "Port");
  return value ? value->AsDword() : std::nullopt;
}

void WritePort(FileRegistryStore& store, std::uint32_t port) {
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  ASSERT_TRUE(key);
  ASSERT_TRUE(store.SetValue(*key, "Port", RegistryValue::Dword(port)));
}

// A store of the folder that keeps what it reports.
struct ReportingStore {
  explicit ReportingStore(const fs::path& folder) : store(folder) {
    store.ReportProblemsTo([this](const std::string& sentence) { reports.push_back(sentence); });
  }
  FileRegistryStore store;
  std::vector<std::string> reports;
};

// Every entry of the folder with its modification time.
std::map<std::string, fs::file_time_type> FolderState(const fs::path& folder) {
  std::map<std::string, fs::file_time_type> state;
  for (const auto& entry : fs::directory_iterator(folder))
    state[entry.path().filename().string()] = entry.last_write_time();
  return state;
}

TEST(FileRegistryStore, SavesThroughNoLinkAndSurvivesAStaleTemporaryFile) {
  ScratchFolder folder;
  {
    FileRegistryStore store(folder.path());
    WritePort(store, 5);
  }
  // a crash between writing the temporary file and renaming it leaves this behind; one left by
  // a process of our own number may even be a link planted to make us write elsewhere
  folder.Write("vandrel.ini.tmp-99999", "[HKCU\\Software\\Ke");
  const fs::path target = folder.Write("elsewhere", "untouched");
  fs::create_symlink(target, folder.path() / ("vandrel.ini.tmp-" + std::to_string(getpid())));
  FileRegistryStore reopened(folder.path());
  EXPECT_EQ(ReadPort(reopened), 5u);
  WritePort(reopened, 6);
  FileRegistryStore again(folder.path());
  EXPECT_EQ(ReadPort(again), 6u);
  EXPECT_EQ(ReadWhole(target), "untouched");
  EXPECT_FALSE(fs::is_symlink(folder.path() / "vandrel.ini"));
}

TEST(FileRegistryStore, AHandEditedFileIsReadWithItsLineEndsCommentsAndPlainValues) {
  ScratchFolder folder;
  folder.Write("vandrel.ini",
               "\xEF\xBB\xBF; written in a Windows editor\r\n\r\n# the port\r\n"
               "[HKCU\\Software\\Kesta]\r\n"
               "  Port = 3   \r\nPath = /home/ana/Mes sons ; the music\r\n"
               "Speeds = hex:00,c2,\r\n  01,00\r\nPort = dword:4\r\n");
  FileRegistryStore store(folder.path());
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  ASSERT_TRUE(key);
  EXPECT_EQ(store.QueryValue(*key, "Port"), RegistryValue::Dword(4));
  EXPECT_EQ(store.QueryValue(*key, "Path"), RegistryValue::String("/home/ana/Mes sons"));
  EXPECT_EQ(store.QueryValue(*key, "Speeds"),
            (RegistryValue{RegistryType::kBinary, {0x00, 0xc2, 0x01, 0x00}}));
}

TEST(FileRegistryStore, AFileThatCannotBeReadIsReportedOnceAndLeftAsItIs) {
  ScratchFolder folder;
  // a folder in the file's place: unreadable for every user, root included
  fs::create_directory(folder.path() / "vandrel.ini");
  ReportingStore reporting(folder.path());
  EXPECT_FALSE(ReadPort(reporting.store));
  EXPECT_FALSE(reporting.store.CreateKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  EXPECT_TRUE(fs::is_directory(folder.path() / "vandrel.ini"));
  ASSERT_EQ(reporting.reports.size(), 1u);
  EXPECT_NE(reporting.reports[0].find((folder.path() / "vandrel.ini").string() +
                                      " cannot be read (" + std::strerror(EISDIR) + ")"),
            std::string::npos)
      << reporting.reports[0];
}

TEST(FileRegistryStore, TheEarlierFileIsReadWithoutAWriteAndCarriedIntoTheFirstSave) {
  ScratchFolder folder;
  const std::string earlier =
      "kesta-registry 1\nkey HKCU Software\nkey HKCU Software\\Kesta\n"
      "value Port 4 03000000\nvalue Path%20Sounds 1 2f6d757300\nvalue @ 3 -\nend\n";
  folder.Write("registry", earlier);
  const auto before = FolderState(folder.path());
  FileRegistryStore store(folder.path());
  EXPECT_EQ(ReadPort(store), 3u);
  EXPECT_EQ(FolderState(folder.path()), before);

  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  ASSERT_TRUE(store.SetValue(*key, "Language", RegistryValue::Dword(1)));
  EXPECT_EQ(ReadWhole(folder.path() / "registry"), earlier);
  FileRegistryStore reopened(folder.path());
  ScopedRegistryKey again(reopened,
                          reopened.OpenKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  ASSERT_TRUE(again);
  EXPECT_EQ(reopened.QueryValue(*again, "Port"), RegistryValue::Dword(3));
  EXPECT_EQ(reopened.QueryValue(*again, "Path Sounds"), RegistryValue::String("/mus"));
  EXPECT_EQ(reopened.QueryValue(*again, ""), (RegistryValue{RegistryType::kBinary, {}}));
  EXPECT_EQ(reopened.QueryValue(*again, "Language"), RegistryValue::Dword(1));
}

TEST(FileRegistryStore, ANameTooLongForTheFileIsRefusedNeverCutShort) {
  ScratchFolder folder;
  FileRegistryStore store(folder.path());
  const std::string longPath = "Software\\Kesta\\" + std::string(60, 'k');
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, longPath));
  EXPECT_FALSE(store.SetValue(*key, "Port", RegistryValue::Dword(1)));
  // the reader keeps 49 characters of a section's name
  folder.Write("vandrel.ini", "[" + std::string(60, 'k') + "]\nPort = 1\n");
  EXPECT_FALSE(
      store.OpenKey(RegistryRoot::kCurrentUser, "Software\\Kesta\\" + std::string(49, 'k')));
}

// CPU time of reading a file of `keys` sections of one value each.
double ReadingTime(std::size_t keys) {
  RegistryTree tree;
  for (std::size_t i = 0; i < keys; ++i)
    tree.SetValue(RegistryRoot::kCurrentUser, "Software\\Kesta\\IMEI\\" + std::to_string(i),
                  "ADPCM_Compatibility", RegistryValue::String("Yes"));
  const std::string text = *RegistryTreeToIni(tree);
  const std::clock_t start = std::clock();
  const auto read = RegistryTreeFromIni(text);
  const std::clock_t end = std::clock();
  EXPECT_EQ(std::get<RegistryTree>(read).Keys().size(), keys + 3);
  return static_cast<double>(end - start);
}

TEST(IniRegistryText, FiftyThousandKeysAreReadInLinearTime) {
  const double small = std::max(ReadingTime(5'000), 1.0);
  const double large = ReadingTime(50'000);
  // ten times the keys: ten times the time when linear, a hundred times when quadratic
  EXPECT_LT(large / small, 35.0);
}

TEST(FileRegistryStore, TwoProcessesSavingAtOnceLoseNothing) {
  ScratchFolder folder;
  constexpr int kWritesPerProcess = 40;
  std::vector<pid_t> children;
  for (int process = 0; process < 2; ++process) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FileRegistryStore store(folder.path());
      for (int i = 0; i < kWritesPerProcess; ++i) {
        ScopedRegistryKey key(store,
                              store.CreateKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
        const std::string name = "P" + std::to_string(process) + "_" + std::to_string(i);
        if (!key || !store.SetValue(*key, name, RegistryValue::Dword(i))) _exit(1);
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  FileRegistryStore store(folder.path());
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
  ASSERT_TRUE(key);
  EXPECT_EQ(store.ValueCount(*key), 2u * kWritesPerProcess);
}

#endif

}  // namespace
}  // namespace vandrel
