#include "platform/user_interface.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

TEST(UserInterface, EmptyErrorShowsNothingAndOtherBoxesKeepTheirKind) {
  RecordingUserInterface recorder;
  ShowError(recorder, "");
  ShowError(recorder, "Error 0x01 : Unavailable port 3");
  ShowWarning(recorder, "Object filename must be specified !");
  ShowNotice(recorder, "Successfull Download");
  ShowPlain(recorder, "");

  std::vector<BoxKind> kinds;
  for (const auto& box : recorder.boxes) kinds.push_back(box.kind);
  ASSERT_EQ(kinds,
            (std::vector{BoxKind::kError, BoxKind::kWarning, BoxKind::kNotice, BoxKind::kPlain}));
  EXPECT_EQ(recorder.boxes[0].text, "Error 0x01 : Unavailable port 3");
}

}  // namespace
}  // namespace vandrel
