// The window's settings as vandrel-cli uses and keeps them, and the port search.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/format_text.h"
#include "runtime/message_catalogue.h"
#include "tests/integration/harness.h"

namespace vandrel::e2e {
namespace {

using testing::HasSubstr;
using testing::Not;

constexpr std::array<std::uint32_t, 8> kDefaultSpeeds{115200, 57600, 19200, 4800,
                                                      38400,  9600,  2400,  1200};
constexpr std::array<std::uint32_t, 8> kOwnOrder{9600, 115200, 57600, 19200,
                                                 4800, 38400,  2400,  1200};
constexpr std::uint32_t kStoredPort = 7;

std::string SpeedKey(std::size_t index) {
  return "Vitesse " + std::to_string(index + 1);
}

void StoreSpeeds(StoredSettings& settings, const std::array<std::uint32_t, 8>& speeds) {
  for (std::size_t i = 0; i < speeds.size(); ++i) settings.Set(SpeedKey(i), speeds[i]);
}

std::array<std::uint32_t, 8> StoredSpeeds(const StoredSettings& settings) {
  std::array<std::uint32_t, 8> speeds{};
  for (std::size_t i = 0; i < speeds.size(); ++i) speeds[i] = settings.Get(SpeedKey(i)).value_or(0);
  return speeds;
}

class SettingsEndToEnd : public testing::Test {
 protected:
  // under Wine every run shares the prefix's settings
  void SetUp() override {
    if (Target::Get().wine()) AwaitAllSends();
  }
};

// A stored zero resets the list and the reset list is saved; the port given applies to its run
// only.
TEST_F(SettingsEndToEnd, AStoredZeroSpeedResetsTheListAndTheResetListIsSaved) {
  Session session({});
  StoredSettings& settings = session.settings();
  std::array<std::uint32_t, 8> speeds = kOwnOrder;
  speeds[2] = 0;
  StoreSpeeds(settings, speeds);
  settings.Set("Port", kStoredPort);
  const CliRun run =
      session.Run("send", {"--lang", "en", Target::Get().FilePath(Sample("contact.vcf"))});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.trace, HasSubstr("line speeds 115200 57600 19200 4800 38400 9600 2400 1200"));
  EXPECT_EQ(StoredSpeeds(settings), kDefaultSpeeds);
  EXPECT_EQ(settings.Get("Port"), kStoredPort);
}

// A list of the user's own order is tried from its first speed and kept; --lang applies to its
// run only.
TEST_F(SettingsEndToEnd, StoredLanguageAndSpeedsSurviveARunAndLangAppliesToItsRunOnly) {
  Session session({});
  StoredSettings& settings = session.settings();
  const std::string file = Target::Get().FilePath(Sample("contact.vcf"));
  StoreSpeeds(settings, kOwnOrder);
  settings.Set("Language", kFrench);
  const CliRun english = session.Run("send", {"--lang", "en", file});
  const CliRun french = session.Run("send", {file});
  settings.Set("Language", kEnglish);
  EXPECT_THAT(english.out, HasSubstr(file + ": Successfull Download\n")) << english.err;
  EXPECT_THAT(english.out, HasSubstr(" at 9600 bit/s\n"));
  EXPECT_THAT(french.out,
              HasSubstr(file + ": " + std::string(GetTextBlock(kFrench)[TXT_DOWNLOAD_OK]) + "\n"))
      << french.err;
  EXPECT_EQ(french.status, 0);
  EXPECT_EQ(StoredSpeeds(settings), kOwnOrder);
}

TEST_F(SettingsEndToEnd, ConfigStoresTheWindowsKeysAndShowsWhatTheWindowStored) {
  Session session({});
  StoredSettings& settings = session.settings();
  const std::optional<std::uint32_t> port = settings.Get("Port");
  const CliRun set =
      session.Run("config", {"--port", "7", "--lang", "fr", "--kind", "sound"}, false);
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(settings.Get("Port"), 7u);
  EXPECT_EQ(settings.Get("Language"), static_cast<std::uint32_t>(kFrench));
  EXPECT_EQ(settings.Get("Combo"), 2u);
  // nothing else is written (under Wine earlier runs have stored the speeds)
  if (!Target::Get().wine()) {
    EXPECT_EQ(settings.Get("Vitesse 1"), std::nullopt);
  }

  settings.Set("Port", 12);
  settings.Set("Language", kEnglish);
  settings.Set("Combo", 4);
  const CliRun shown = session.Run("config", {}, false);
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_THAT(shown.out, HasSubstr("\nPort             12 (COM12, "));
  EXPECT_THAT(shown.out, HasSubstr("\nLanguage         0 (en)\n"));
  EXPECT_THAT(shown.out, HasSubstr("\nCombo            4 (vcard)\n"));
  EXPECT_THAT(shown.out, HasSubstr("\nVitesse 1..8     "));
  // under Wine the settings outlive the session
  settings.Set("Combo", 1);
  settings.Set("Port", port.value_or(1));
}

TEST_F(SettingsEndToEnd, AStoredPortThatIsNotListedIsUsedAndNamed) {
  constexpr std::uint32_t kUnlistedPort = 60;
  Session session({});
  const std::optional<std::uint32_t> stored = session.settings().Get("Port");
  session.settings().Set("Port", kUnlistedPort);
  const CliRun run =
      session.Run("send", {"--lang", "en", Target::Get().FilePath(Sample("contact.vcf"))}, false);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.port, static_cast<int>(kUnlistedPort)) << run.trace;
  EXPECT_THAT(run.err,
              HasSubstr("COM60 : " + std::string(GetTextBlock(kEnglish)[TXT_PORT_MISSING])));
  EXPECT_TRUE(run.stored.empty());
  session.settings().Set("Port", stored.value_or(1));
}

TEST(FreshHome, HelpPortsConfigAndAFailedSendCreateNothing) {
  if (Target::Get().wine()) GTEST_SKIP() << "the Wine prefix is the Windows user's home";
  Session session({});
  for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
           {"--help"}, {"ports"}, {"config"}, {"send", "--lang", "en", "/nonexistent/a.png"}}) {
    const CliRun run = session.Run(command[0], {command.begin() + 1, command.end()}, false);
    EXPECT_TRUE(std::filesystem::is_empty(session.home())) << command[0] << ": " << run.err;
  }
}

TEST(HandEditedSettings, ReadOnlyCommandsReadThemAndTouchNothingADamagedFileIsNamedAndSetAside) {
  if (Target::Get().wine()) GTEST_SKIP() << "the Windows settings are the registry's";
  namespace fs = std::filesystem;
  Session session({});
  const fs::path folder = session.home() / ".config" / "kesta";
  fs::create_directories(folder);
  const fs::path file = folder / "vandrel.ini";
  const auto write = [&](const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
    fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
  };
  const auto state = [&] {
    std::map<std::string, fs::file_time_type> entries;
    for (const auto& entry : fs::directory_iterator(folder))
      entries[entry.path().filename().string()] = entry.last_write_time();
    return entries;
  };
  write("; my settings\r\n[vandrel\\Settings]\r\nLanguage = 1\r\n\r\nPort = dword:4\r\n");
  const auto before = state();
  for (const std::string command : {"config", "ports"}) {
    const CliRun run = session.Run(command, {}, false);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(state(), before) << command;
  }
  EXPECT_THAT(session.Run("config", {}, false).out, HasSubstr("\nLanguage         1 (fr)\n"));

  write("Language 1\n");
  const CliRun shown = session.Run("config", {}, false);
  EXPECT_THAT(shown.err, HasSubstr(file.string() + " is not a settings file (line 1)"));
  EXPECT_THAT(shown.out, HasSubstr("\nLanguage         0 (en)\n")) << "read as the defaults";
  EXPECT_EQ(ReadWhole(file), "Language 1\n") << "and kept until a setting is stored";
  const CliRun stored = session.Run("config", {"--lang", "fr"}, false);
  EXPECT_EQ(stored.status, 0) << stored.err;
  const auto after = state();
  const auto aside = std::ranges::find_if(
      after, [](const auto& entry) { return entry.first.starts_with("vandrel.ini.damaged-"); });
  ASSERT_NE(aside, after.end());
  EXPECT_EQ(ReadWhole(folder / aside->first), "Language 1\n");
  EXPECT_THAT(stored.err, HasSubstr(file.string() + " is not a settings file (line 1): it was " +
                                    "set aside as " + (folder / aside->first).string()));
  EXPECT_EQ(session.settings().Get("Language"), static_cast<std::uint32_t>(kFrench));
}

TEST(SearchEndToEnd, NoCompliantHandsetShowsTheMessageWithTheLogAndKeepsThePort) {
  if (Target::Get().wine()) GTEST_SKIP() << "Wine lists only the COM ports of its own registry";
  Session session({"--plain-modem"});
  session.settings().Set("Port", kStoredPort);
  const CliRun run = session.Run("search", {});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  // the report on stderr, one line per port, with plain line ends
  EXPECT_THAT(run.err,
              testing::StartsWith(std::string(GetTextBlock(kEnglish)[TXT_NOT_FOUND_ANY_PORT])));
  // the simulator's port has a number of its own, from the first given to a device path up
  EXPECT_THAT(run.err, testing::ContainsRegex(
                           "\nCOM(3[3-9]|[4-9][0-9]|[12][0-9][0-9]) : " +
                           std::string(GetTextBlock(kEnglish)[TXT_NO_CABLE_NO_IRDA]) + "\n"));
  EXPECT_THAT(run.err, Not(HasSubstr("\r")));
  EXPECT_EQ(session.settings().Get("Port"), kStoredPort);
}

// A dead port whose CTS is low, listed before the handset's: every write to it blocks, yet the
// search goes on to the handset, and a send to it stores the object.
TEST(SearchEndToEnd, HeldSilentPortListedFirstHoldsNothingUp) {
  if (Target::Get().wine()) GTEST_SKIP() << "Wine lists only the COM ports of its own registry";
  Session session({});
  SimulatedHandset dead({"--cts-low"}, session.folder() / "dead-store", "");
  const CliRun search =
      session.Run("search", {"--device", dead.path(), "--device", session.handset().path()}, false);
  EXPECT_EQ(search.status, 0) << search.out << search.err;
  const std::optional<std::uint32_t> port = session.settings().Get("Port");
  ASSERT_TRUE(port.has_value());
  EXPECT_EQ(search.out,
            FormatText(GetTextBlock(kEnglish)[TXT_FOUND_HANDSET].data(), "", *port) + "\n");

  const std::filesystem::path card = Sample("contact.vcf");
  const CliRun send = session.Run(
      "send", {"--lang", "en", "--device", session.handset().path(), card.string()}, false);
  EXPECT_EQ(send.status, 0) << send.err;
  ASSERT_EQ(send.stored.size(), 1u);
  EXPECT_EQ(send.stored.back().bytes, ReadWhole(card));
}

}  // namespace
}  // namespace vandrel::e2e
