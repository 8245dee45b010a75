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

  ASSERT_EQ(recorder.boxes.size(), 4u);
  EXPECT_EQ(recorder.boxes[0].kind, BoxKind::kError);
  EXPECT_EQ(recorder.boxes[0].text, "Error 0x01 : Unavailable port 3");
  EXPECT_EQ(recorder.boxes[1].kind, BoxKind::kWarning);
  EXPECT_EQ(recorder.boxes[2].kind, BoxKind::kNotice);
  EXPECT_EQ(recorder.boxes[3].kind, BoxKind::kPlain);
}

}  // namespace
}  // namespace vandrel
