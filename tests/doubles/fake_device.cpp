#include "tests/doubles/fake_device.h"

#include <algorithm>
#include <chrono>

namespace vandrel {

// A read with nothing to receive waits this long at most, in real time: tests on the virtual
// clock then see their own time unaffected by the reader thread.
constexpr auto kFakeReadWait = std::chrono::milliseconds(1);
constexpr auto kHeldInputLimit = std::chrono::seconds(10);

class FakeSerialDevice final : public SerialDevice {
 public:
  explicit FakeSerialDevice(std::shared_ptr<FakeSerialLine> line) : line_(std::move(line)) {}
  ~FakeSerialDevice() override { Close(); }

  bool Configure(int speed) override {
    std::lock_guard lock(line_->mutex_);
    if (line_->refuseConfigure_) return false;
    line_->configuredSpeed_ = speed;
    return true;
  }

  bool SetReadTimeout(int) override {
    std::lock_guard lock(line_->mutex_);
    return !line_->refuseReadTimeout_;
  }

  bool WaitForInput(std::uint32_t) override {
    std::unique_lock lock(line_->mutex_);
    ++line_->inputWaiters_;
    line_->changed_.notify_all();
    line_->changed_.wait_for(lock, kHeldInputLimit, [&] { return !line_->holdInputs_; });
    const bool ready = line_->changed_.wait_for(
        lock, kFakeReadWait, [&] { return !line_->input_.empty() || line_->failReads_; });
    --line_->inputWaiters_;
    if (ready) ++line_->inputWaitsEnded_;
    line_->changed_.notify_all();
    return ready;
  }

  DeviceRead ReadByte(std::uint8_t& byte) override {
    std::unique_lock lock(line_->mutex_);
    if (line_->failReads_) return DeviceRead::kFailed;
    line_->changed_.wait_for(lock, kFakeReadWait, [&] { return !line_->input_.empty(); });
    if (line_->input_.empty()) return DeviceRead::kTimedOut;
    byte = line_->input_.front();
    line_->input_.pop_front();
    return DeviceRead::kByte;
  }

  bool WaitForOutput(std::uint32_t) override {
    std::unique_lock lock(line_->mutex_);
    return line_->changed_.wait_for(lock, kFakeReadWait, [&] { return !line_->stalled_; });
  }

  DeviceWrite Write(std::span<const std::uint8_t> data) override {
    std::unique_lock lock(line_->mutex_);
    if (line_->failWrites_) return {false, 0};
    if (line_->stalled_) return {true, 0};
    const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    line_->written_ += bytes;
    line_->writeSizes_.push_back(data.size());
    if (line_->answerer_) {
      const std::string answer = line_->answerer_(bytes);
      line_->input_.insert(line_->input_.end(), answer.begin(), answer.end());
      line_->changed_.notify_all();
    }
    return {true, data.size()};
  }

  void SetDtr(bool raised) override { line_->Set(line_->dtr_, raised); }

  void SetRts(bool raised) override { line_->Set(line_->rts_, raised); }

  std::uint32_t ModemStatus() override {
    std::lock_guard lock(line_->mutex_);
    if (line_->readings_.empty()) return 0;
    const std::size_t index = std::min(line_->nextReading_, line_->readings_.size() - 1);
    ++line_->nextReading_;
    return line_->readings_[index];
  }

  void PurgeInput() override {
    std::lock_guard lock(line_->mutex_);
    line_->input_.clear();
    ++line_->purges_;
  }

  void PurgeOutput() override {
    std::lock_guard lock(line_->mutex_);
    ++line_->purges_;
  }

  std::size_t PendingOutput() override { return 0; }

  bool Close() override {
    std::lock_guard lock(line_->mutex_);
    if (!line_->open_) return true;
    line_->open_ = false;
    return !line_->failClose_;
  }

 private:
  std::shared_ptr<FakeSerialLine> line_;
};

void FakeSerialLine::SetModemReadings(std::vector<std::uint32_t> readings) {
  std::lock_guard lock(mutex_);
  readings_ = std::move(readings);
  nextReading_ = 0;
}

void FakeSerialLine::Feed(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  changed_.notify_all();
}

void FakeSerialLine::SetAnswerer(std::function<std::string(std::string_view)> answerer) {
  std::lock_guard lock(mutex_);
  answerer_ = std::move(answerer);
}

std::size_t FakeSerialLine::Unread() const {
  std::lock_guard lock(mutex_);
  return input_.size();
}

FakeSerialLine& FakeSerialDevices::Line(int port) {
  std::lock_guard lock(mutex_);
  auto& line = lines_[port];
  if (!line) line = std::make_shared<FakeSerialLine>();
  return *line;
}

void FakeSerialDevices::FailOpen(int port, OpenFailure failure, std::uint32_t code,
                                 std::string group) {
  std::lock_guard lock(mutex_);
  failures_[port] = {nullptr, failure, code, std::move(group)};
}

DeviceOpen FakeSerialDevices::Open(int port) {
  std::shared_ptr<FakeSerialLine> line;
  {
    std::lock_guard lock(mutex_);
    if (const auto failure = failures_.find(port); failure != failures_.end()) {
      return {nullptr, failure->second.failure, failure->second.systemCode, failure->second.group};
    }
    auto& slot = lines_[port];
    if (!slot) slot = std::make_shared<FakeSerialLine>();
    line = slot;
  }
  std::lock_guard lock(line->mutex_);
  if (line->open_) return {nullptr, OpenFailure::kAccessDenied, 0, {}};
  line->open_ = true;
  ++line->opens_;
  return {std::make_unique<FakeSerialDevice>(line), OpenFailure::kNone, 0, {}};
}

}  // namespace vandrel
