#include "handset/answer.h"

#include <gtest/gtest.h>

#include <string>

#include "handset/identification.h"
#include "objects/event_table.h"

namespace vandrel {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct ClassifyCase {
  const char* answer;
  bool accepted;
  std::int32_t kind;
  std::int32_t value;  // the status starts with value 7
  std::uint8_t event;  // when refused
};

class Classification : public testing::TestWithParam<ClassifyCase> {};

TEST_P(Classification, KindValueAndEvent) {
  const ClassifyCase& c = GetParam();
  AnswerStatus status{kAnswerFinal, 7};
  std::uint8_t event = 0;
  const std::string answer = c.answer;
  EXPECT_EQ(ClassifyAnswer(Bytes(answer), status, event), c.accepted);
  EXPECT_EQ(status.answerKind, c.kind);
  EXPECT_EQ(status.value, c.value);
  if (!c.accepted) {
    EXPECT_EQ(event, c.event);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Classification,
    testing::Values(
        ClassifyCase{"AT+KDOBJ?\r\r\n+KDOBJ: 35000\r\n\r\nOK\r\n", true, kAnswerWithValue, 35000,
                     0},
        ClassifyCase{"AT\r\r\nOK\r\n", true, kAnswerFinal, 7, 0},
        ClassifyCase{"\r\nCONNECT\r\n", true, kAnswerFinal, 7, 0},
        ClassifyCase{"+KDOBJ:\r\nOK", false, kAnswerUnparsable, 7, kEventUnexpectedResponse},
        ClassifyCase{"\r\n+KDOBJ: 35a00\r\nOK\r\n", false, kAnswerUnparsable, 7,
                     kEventUnexpectedResponse},
        ClassifyCase{"+KDOBJ: \rOK", true, kAnswerWithValue, 0, 0},
        ClassifyCase{"+KDOBJ: 99999999999999999999\rOK", true, kAnswerWithValue, INT32_MAX, 0},
        ClassifyCase{"\r\nERROR\r\n", true, kAnswerError, 7, 0},
        ClassifyCase{"\r\nBUSY\r\n", false, kAnswerUnparsable, 7, kEventUnexpectedResponse},
        ClassifyCase{"", false, kAnswerUnparsable, 7, kEventPortTimeout}));

struct CmeCase {
  const char* answer;
  std::uint8_t event;
};

class CmeErrors : public testing::TestWithParam<CmeCase> {};

TEST_P(CmeErrors, MapToTheirEvent) {
  const std::string answer = GetParam().answer;
  EXPECT_EQ(ErrorAnswerEvent(Bytes(answer)), GetParam().event) << answer;
}

INSTANTIATE_TEST_SUITE_P(Codes, CmeErrors,
                         testing::Values(CmeCase{"+CME ERROR: 100,65523\r\n",
                                                 kEventPhoneStorageFull},
                                         CmeCase{"+CME ERROR: 100,65526", kEventUnexpectedResponse},
                                         // only five digits are read: 655230 is read as 65523
                                         CmeCase{"+CME ERROR: 100,655230", kEventPhoneStorageFull},
                                         CmeCase{"+CME ERROR: 100,", kEventUnexpectedResponse},
                                         CmeCase{"+CME ERROR: 7", kEventUnexpectedResponse},
                                         CmeCase{"ERROR", kEventUnexpectedResponse}));

TEST(AnswerCollector, KeepsTheFirst512BytesAndNoticesTheWords) {
  AnswerCollector collector;
  const std::string start(500, 'x');
  EXPECT_EQ(collector.Add(Bytes(start)), AnswerCollector::Poll::kGoOn);
  EXPECT_EQ(collector.Add(Bytes("ERR")), AnswerCollector::Poll::kGoOn);
  EXPECT_EQ(collector.Add(Bytes("OR")), AnswerCollector::Poll::kError);
  EXPECT_EQ(collector.Add(Bytes("\r\nOK\r\n")), AnswerCollector::Poll::kFinal);
  EXPECT_EQ(collector.Add(Bytes("more")), AnswerCollector::Poll::kOverflow);
  EXPECT_EQ(collector.Collected().size(), 511u);
  EXPECT_EQ(collector.Total(), 515u);
}

TEST(Identification, WordMustStartAtTheFirstK) {
  EXPECT_TRUE(JudgeIdentification(Bytes("ATI3\r\r\nKESTA Tarn-5\r\nOK")));
  EXPECT_FALSE(JudgeIdentification(Bytes("ATI3\r\nK800 KESTA\r\nOK")));
  EXPECT_FALSE(JudgeIdentification(Bytes("ATI3\r\nKEST")));
  EXPECT_FALSE(JudgeIdentification(Bytes("ATI3\r\nkesta")));
}

TEST(Identification, ImeiIsTheDigitsBeforeOkAndNeverMoreThan49) {
  std::string imei = "old";
  EXPECT_FALSE(JudgeImei(Bytes("AT+CGSN\r\r\n351234567890123\r\n"), imei));
  EXPECT_EQ(imei, "old");
  EXPECT_TRUE(JudgeImei(Bytes("AT+CGSN\r\r\n35-1234 567890123\r\n\r\nOK\r\n99"), imei));
  EXPECT_EQ(imei, "351234567890123");
  const std::string flood = "AT+CGSN\r" + std::string(60, '7') + "\r\nOK";
  EXPECT_TRUE(JudgeImei(Bytes(flood), imei));
  EXPECT_EQ(imei, std::string(kMaxImeiDigits, '7'));
  EXPECT_TRUE(JudgeCapability(Bytes("AT+KDOBJ?\r\r\n+KDOBJ: 1\r\nOK")));
  EXPECT_FALSE(JudgeCapability(Bytes("AT+KDOBJ?\r\r\nERROR")));
}

}  // namespace
}  // namespace vandrel
