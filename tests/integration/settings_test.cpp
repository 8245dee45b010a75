// The window's settings as vandrel-cli uses and keeps them, and the port search.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <regex>

#include "app/message_catalogue.h"
#include "platform/format_text.h"
#include "tests/integration/harness.h"

namespace vandrel::e2e {
namespace {

using testing::HasSubstr;

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
  // the port given on the command line was for that run only
  EXPECT_EQ(settings.Get("Port"), kStoredPort);
}

TEST_F(SettingsEndToEnd, StoredLanguageAndSpeedsSurviveARunAndLangAppliesToItsRunOnly) {
  Session session({});
  StoredSettings& settings = session.settings();
  StoreSpeeds(settings, kOwnOrder);
  settings.Set("Language", kFrench);
  const std::string file = Target::Get().FilePath(Sample("contact.vcf"));

  const CliRun english = session.Run("send", {"--lang", "en", file});
  const CliRun french = session.Run("send", {file});
  settings.Set("Language", kEnglish);

  EXPECT_EQ(english.out, "Successfull Download\n") << english.err;
  EXPECT_THAT(english.trace, HasSubstr("at 9600 bit/s"));
  EXPECT_EQ(french.out, std::string(GetTextBlock(kFrench)[TXT_DOWNLOAD_OK]) + "\n") << french.err;
  EXPECT_EQ(french.status, 0);
  EXPECT_EQ(StoredSpeeds(settings), kOwnOrder);
}

TEST(SearchEndToEnd, FindsTheHandsetSelectsAndSavesItsPort) {
  if (Target::Get().wine()) GTEST_SKIP() << "Wine lists only the COM ports of its own registry";
  Session session({});
  const CliRun run = session.Run("search", {});
  EXPECT_EQ(run.status, 0) << run.err;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(run.out, match, std::regex("on COM([0-9]+)"))) << run.out;
  const int port = std::stoi(match[1].str());
  EXPECT_EQ(run.out, FormatText(GetTextBlock(kEnglish)[TXT_FOUND_HANDSET].data(), "", port) + "\n");
  EXPECT_EQ(session.settings().Get("Port"), static_cast<std::uint32_t>(port));
}

TEST(SearchEndToEnd, NoCompliantHandsetShowsTheMessageWithTheLogAndKeepsThePort) {
  if (Target::Get().wine()) GTEST_SKIP() << "Wine lists only the COM ports of its own registry";
  Session session({"--plain-modem"});
  session.settings().Set("Port", kStoredPort);
  const CliRun run = session.Run("search", {});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.out,
              testing::StartsWith(std::string(GetTextBlock(kEnglish)[TXT_NOT_FOUND_ANY_PORT])));
  EXPECT_THAT(run.out, HasSubstr(" : "));
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
