#include "tools/handset-sim/command_line.h"

#include <cctype>
#include <utility>

namespace vandrel::sim {
namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr std::size_t kMaxCommandBytes = 256;

bool IsLetter(char c, char upper) {
  return std::toupper(static_cast<unsigned char>(c)) == upper;
}

}  // namespace

std::optional<CommandLine> CommandLineReader::Take(char c) {
  if (line_.empty()) {
    if (IsLetter(c, 'A')) {
      line_ += c;
    } else if (c != kCarriageReturn && c != kLineFeed) {
      ++stray_;
    }
    return std::nullopt;
  }
  if (line_.size() == 1 && !IsLetter(c, 'T')) {
    // That "A" started no command; `c` may start the next one.
    ++stray_;
    line_.clear();
    return Take(c);
  }
  if (c == kCarriageReturn) {
    CommandLine done{std::exchange(line_, {}), std::exchange(overflow_, false)};
    return done;
  }
  if (line_.size() < kMaxCommandBytes) {
    line_ += c;
  } else {
    overflow_ = true;
  }
  return std::nullopt;
}

std::uint64_t CommandLineReader::TakeStrayCount() {
  return std::exchange(stray_, 0);
}

}  // namespace vandrel::sim
