#include "handset/link_trace.h"

namespace vandrel {

namespace {

class NoTrace final : public LinkTrace {
 public:
  void PortOpened(int, std::int32_t, int) override {}
  void PortClosed(int) override {}
  void Written(int, std::span<const std::uint8_t>) override {}
  void Read(int, std::span<const std::uint8_t>) override {}
};

}  // namespace

LinkTrace& NoLinkTrace() {
  static NoTrace none;
  return none;
}

}  // namespace vandrel
