#pragma once

#include "app/send_job.h"
#include "tests/handset/link_fixture.h"

namespace vandrel {

// A send's world: the link test's port and handset, and the record, line speeds, progress and
// stop that a front end hands down to a send on kTestPort.
class SendFixture : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    state_.portSelection = &selection_;
  }
  SendContext SendWith(SendFrontEnd& frontEnd) {
    return SendContext{.state = state_,
                       .clock = clock_,
                       .ui = ui_,
                       .trace = NoLinkTrace(),
                       .progress = progress_,
                       .frontEnd = frontEnd,
                       .lineSpeeds = speeds_,
                       .log = log_,
                       .stop = stop_};
  }

  LineSpeeds speeds_;
  PortSelection selection_{kTestPort};
  AppState state_;
  ProgressDisplay progress_{ui_};
  SendStop stop_;
};

}  // namespace vandrel
