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

TEST(Classification, KindValueAndEvent) {
  const struct {
    std::string answer;
    bool accepted;
    std::int32_t kind;
    std::int32_t value;  // the status starts with value 7
    std::uint8_t event;  // when refused
  } cases[] = {
      {"AT+KDOBJ?\r\r\n+KDOBJ: 35000\r\n\r\nOK\r\n", true, kAnswerWithValue, 35000, 0},
      {"AT\r\r\nOK\r\n", true, kAnswerFinal, 7, 0},
      {"\r\nCONNECT\r\n", true, kAnswerFinal, 7, 0},
      {"+KDOBJ:\r\nOK", false, kAnswerUnparsable, 7, kEventUnexpectedResponse},
      {"\r\n+KDOBJ: 35a00\r\nOK\r\n", false, kAnswerUnparsable, 7, kEventUnexpectedResponse},
      {"+KDOBJ: \rOK", true, kAnswerWithValue, 0, 0},
      {"+KDOBJ: 99999999999999999999\rOK", true, kAnswerWithValue, INT32_MAX, 0},
      {"\r\nERROR\r\n", true, kAnswerError, 7, 0},
      {"\r\nBUSY\r\n", false, kAnswerUnparsable, 7, kEventUnexpectedResponse},
      {"", false, kAnswerUnparsable, 7, kEventPortTimeout}};
  for (const auto& c : cases) {
    AnswerStatus status{kAnswerFinal, 7};
    std::uint8_t event = 0;
    EXPECT_EQ(ClassifyAnswer(Bytes(c.answer), status, event), c.accepted) << c.answer;
    EXPECT_EQ(status.answerKind, c.kind) << c.answer;
    EXPECT_EQ(status.value, c.value) << c.answer;
    if (!c.accepted) {
      EXPECT_EQ(event, c.event) << c.answer;
    }
  }
}

TEST(CmeErrors, MapToTheirEvent) {
  const std::pair<std::string, std::uint8_t> cases[] = {
      {"+CME ERROR: 100,65523\r\n", kEventPhoneStorageFull},
      {"+CME ERROR: 100,65526", kEventUnexpectedResponse},
      // only five digits are read: 655230 is read as 65523
      {"+CME ERROR: 100,655230", kEventPhoneStorageFull},
      {"+CME ERROR: 100,", kEventUnexpectedResponse},
      {"+CME ERROR: 7", kEventUnexpectedResponse},
      {"ERROR", kEventUnexpectedResponse}};
  for (const auto& [answer, event] : cases)
    EXPECT_EQ(ErrorAnswerEvent(Bytes(answer)), event) << answer;
}

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
}

}  // namespace
}  // namespace vandrel
