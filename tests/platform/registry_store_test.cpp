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

#include "platform/file_registry_store.h"
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
      {"Path_Sounds", RegistryValue::String("C:\\Musique\\été")}};
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
  EXPECT_EQ(store_.QueryValue(*key, "Port")->AsDword(), 0x01020304u);
  EXPECT_EQ(store_.QueryValue(*key, "Path_Sounds")->AsString(), "C:\\Musique\\été");
  EXPECT_FALSE(store_.QueryValue(*key, "Missing"));
}

TEST_P(RegistryStoreTest, MissingKeysDoNotOpenAndCreateMakesParents) {
  EXPECT_FALSE(store_.OpenKey(RegistryRoot::kCurrentUser, keyPath_ + "\\IMEI\\123"));
  ScopedRegistryKey created(store_,
                            store_.CreateKey(RegistryRoot::kCurrentUser, keyPath_ + "\\IMEI\\123"));
  ASSERT_TRUE(created);
  ScopedRegistryKey parent(store_, store_.OpenKey(RegistryRoot::kCurrentUser, keyPath_ + "\\IMEI"));
  EXPECT_TRUE(parent);
  EXPECT_FALSE(store_.EnumValue(*parent, 0));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryStoreTest, testing::ValuesIn(StoreKinds()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryTree, TextFormRoundTripsAwkwardNames) {
  RegistryTree tree;
  tree.SetValue(RegistryRoot::kCurrentUser, "Software\\A b%c@", "", RegistryValue::String(""));
  tree.SetValue(RegistryRoot::kCurrentUser, "Software\\A b%c@", "name with\nnewline",
                {RegistryType::kBinary, {}});
  tree.SetValue(RegistryRoot::kLocalMachine, "Hardware\\DeviceMap\\SerialComm\\",
                "\\Device\\Serial0", RegistryValue::String("COM1"));
  tree.SetValue(RegistryRoot::kUsers, ".DEFAULT", "Ünïcode", RegistryValue::Dword(7));
  const auto parsed = RegistryTree::Parse(tree.Serialize());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*parsed, tree);
  EXPECT_TRUE(parsed->HasKey(RegistryRoot::kLocalMachine, "hardware\\devicemap"));
}

TEST(RegistryTree, EveryTruncationOrCorruptionIsRefusedNotMisread) {
  RegistryTree tree;
  tree.SetValue(RegistryRoot::kCurrentUser, "Software\\Kesta", "Port", RegistryValue::Dword(3));
  tree.SetValue(RegistryRoot::kCurrentUser, "Software\\Kesta", "Path", RegistryValue::String("x"));
  const std::string text = tree.Serialize();
  for (std::size_t length = 0; length < text.size(); ++length)
    EXPECT_FALSE(RegistryTree::Parse(text.substr(0, length))) << "cut at " << length;
  for (const std::string bad :
       {"kesta-registry 1\nvalue a 4 00000000\nend\n", "kesta-registry 1\nkey HKXX a\nend\n",
        "kesta-registry 1\nkey HKCU a\nvalue a 4 0g\nend\n",
        "kesta-registry 1\nkey HKCU a\nvalue a 99999999999 00\nend\n",
        "kesta-registry 1\nkey HKCU a%\nend\n", "kesta-registry 1\nend\nkey HKCU a\n",
        "kesta-registry 2\nend\n"})
    EXPECT_FALSE(RegistryTree::Parse(bad)) << bad;
}

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

TEST(FileRegistryStore, SettingsSurviveANewProcessAndAStaleTemporaryFile) {
  ScratchFolder folder;
  {
    FileRegistryStore store(folder.path());
    WritePort(store, 5);
  }
  // a crash between writing the temporary file and renaming it leaves this behind
  folder.Write("registry.tmp-99999", "kesta-registry 1\nkey HKCU Software\\Ke");
  FileRegistryStore reopened(folder.path());
  EXPECT_EQ(ReadPort(reopened), 5u);
  WritePort(reopened, 6);
  EXPECT_EQ(ReadPort(reopened), 6u);
}

TEST(FileRegistryStore, DamagedFileIsSetAsideAndNeverOverwritten) {
  ScratchFolder folder;
  const std::string damaged = "kesta-registry 1\nkey HKCU Software\\Kesta\nvalue Port 4 0300";
  folder.Write("registry", damaged);
  FileRegistryStore store(folder.path());
  EXPECT_FALSE(ReadPort(store));
  WritePort(store, 2);
  EXPECT_EQ(ReadPort(store), 2u);

  std::vector<std::string> setAside;
  for (const auto& entry : fs::directory_iterator(folder.path()))
    if (entry.path().filename().string().starts_with("registry.damaged-"))
      setAside.push_back(ReadWhole(entry.path()));
  EXPECT_EQ(setAside, std::vector{damaged});
}

TEST(FileRegistryStore, UnusableFolderReadsAsEmptyAndRefusesWrites) {
  ScratchFolder folder;
  folder.Write("not-a-folder", "x");
  FileRegistryStore store(folder.path() / "not-a-folder");
  EXPECT_FALSE(ReadPort(store));
  EXPECT_FALSE(store.CreateKey(RegistryRoot::kCurrentUser, "Software\\Kesta"));
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
