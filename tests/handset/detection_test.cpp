#include <gtest/gtest.h>

#include "handset/handset_link.h"
#include "handset/line_speeds.h"
#include "tests/handset/link_fixture.h"

namespace vandrel {
namespace {

using DetectionTest = LinkTest;

TEST_F(DetectionTest, HandsetAtTheFirstSpeedIsIdentifiedAndKeepsTheList) {
  LineSpeeds speeds;
  HandsetLink link(Context(), kTestPort, speeds);
  EXPECT_TRUE(link.connected);
  EXPECT_EQ(link.GetImei(), "351234567890123");
  EXPECT_EQ(speeds, LineSpeeds{});
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_EQ(handset_.commands, (std::vector<std::string>{"AT", "ATI3", "AT+KDOBJ?", "AT+CGSN"}));
  EXPECT_EQ(line_.ConfiguredSpeed(), 115200);
}

TEST_F(DetectionTest, HandsetAtTheThirdSpeedMovesItToTheFront) {
  // ten unanswered proofs at each of the first two speeds
  handset_.listening = [this] { return handset_.commands.size() > 20; };
  LineSpeeds speeds;
  HandsetLink link(Context(), kTestPort, speeds);
  EXPECT_TRUE(link.connected);
  EXPECT_EQ(speeds, (LineSpeeds{8, {19200, 115200, 57600, 4800, 38400, 9600, 2400, 1200}}));
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(DetectionTest, ModemWithoutIdentificationWordLogsTwice) {
  handset_.answers["ATI3"] = "\r\nMODEM 56K\r\nOK\r\n";
  LineSpeeds speeds;
  HandsetLink link(Context(), kTestPort, speeds);
  EXPECT_FALSE(link.noAnswer);
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"\r\nCOM3 : A modem was found, but it refused to communicate."
                                      "\r\nCOM3 : No DATA cable and no IRDA have been detected"}));
  EXPECT_EQ(log_.ErrorCount(), 1u);
  EXPECT_FALSE(line_.IsOpen());
}

TEST_F(DetectionTest, MissingPortShowsItsSingleLine) {
  devices_.FailOpen(kTestPort, OpenFailure::kNotFound, 2);
  LineSpeeds speeds;
  HandsetLink link(Context(), kTestPort, speeds);
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{
                "\r\nCOM3 : This port does not exist. Check the BIOS and the Material Profile."}));
}

TEST_F(DetectionTest, SilenceAtEverySpeedReportsConnectionFailure) {
  handset_.silent = true;
  LineSpeeds speeds;
  HandsetLink link(Context(), kTestPort, speeds);
  EXPECT_TRUE(link.noAnswer);
  EXPECT_FALSE(link.connected);
  EXPECT_EQ(line_.Opens(), 8);
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"Error 0x02 : Mobile phone connexion failure on port 3\n"
                                      "Check that the mobile is configured in 'Automatic' speed"}));
}

TEST_F(DetectionTest, QuickProbeStopsAtTheFirstSpeedThatAnswers) {
  handset_.answers["AT+KDOBJ?"] = "\r\nERROR\r\n";
  HandsetLink link(Context());
  LineSpeeds speeds;
  std::string model = "x";
  std::string log;
  EXPECT_FALSE(link.QuickProbe(kTestPort, model, speeds, log));
  EXPECT_EQ(log, "\r\nCOM3 : A handset without object transfer capability was found.");
  EXPECT_EQ(line_.Opens(), 1);

  handset_.answers.erase("AT+KDOBJ?");
  log.clear();
  EXPECT_TRUE(link.QuickProbe(kTestPort, model, speeds, log));
  EXPECT_EQ(model, "");
  EXPECT_EQ(log, "");
}

TEST(LineSpeeds, ReadTimeOutIsAboutOneCharacterRoundedUp) {
  // 1.1 ms at 100000 bit/s waits 2 ms
  const std::pair<int, int> cases[] = {{115200, 1}, {38400, 3}, {1200, 96}, {100000, 2}};
  for (const auto& [speed, ms] : cases) EXPECT_EQ(LineSpeedTimeoutMs(speed), ms) << speed;
}

}  // namespace
}  // namespace vandrel
