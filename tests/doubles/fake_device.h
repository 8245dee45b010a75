#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "serial/device.h"

namespace vandrel {

// The far end and the state of one scripted serial device, shared by the test and the device
// the driver holds. Every member is safe to call from any thread.
class FakeSerialLine {
 public:
  // Successive ModemStatus readings; the last one repeats. No readings read as 0.
  void SetModemReadings(std::vector<std::uint32_t> readings);
  // Bytes the device receives, read by later ReadByte calls.
  void Feed(std::string_view bytes);
  // Called with the bytes of every write; what it returns is received as the answer.
  void SetAnswerer(std::function<std::string(std::string_view written)> answerer);
  // While stalled, writes take nothing (as when flow control holds CTS low) until released.
  void StallWrites(bool stalled) { Set(stalled_, stalled); }
  void FailWrites(bool failing) { Set(failWrites_, failing); }
  void FailReads(bool failing) { Set(failReads_, failing); }
  void RefuseConfigure(bool refusing) { Set(refuseConfigure_, refusing); }
  void RefuseReadTimeout(bool refusing) { Set(refuseReadTimeout_, refusing); }
  void FailClose(bool failing) { Set(failClose_, failing); }
  // While held, a wait for input does not end (for 10 s at most), as if the line were quiet.
  void HoldInputWaits(bool held) { Set(holdInputs_, held); }

  std::string Written() const { return Get(written_); }
  std::vector<std::size_t> WriteSizes() const { return Get(writeSizes_); }
  int ConfiguredSpeed() const { return Get(configuredSpeed_); }  // 0 until configured
  bool Dtr() const { return Get(dtr_); }
  bool Rts() const { return Get(rts_); }
  bool IsOpen() const { return Get(open_); }
  int Opens() const { return Get(opens_); }
  int Purges() const { return Get(purges_); }  // input and output purges counted together
  std::size_t Unread() const;                  // fed bytes not yet read
  int InputWaiters() const { return Get(inputWaiters_); }  // waits for input going on now
  // waits for input that ended with input there
  int InputWaitsEnded() const { return Get(inputWaitsEnded_); }

 private:
  friend class FakeSerialDevice;
  friend class FakeSerialDevices;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::uint32_t> readings_;
  std::size_t nextReading_ = 0;
  std::deque<std::uint8_t> input_;
  std::function<std::string(std::string_view)> answerer_;
  std::string written_;
  std::vector<std::size_t> writeSizes_;
  bool stalled_ = false;
  bool failWrites_ = false;
  bool failReads_ = false;
  bool refuseConfigure_ = false;
  bool refuseReadTimeout_ = false;
  bool failClose_ = false;
  bool holdInputs_ = false;
  int inputWaiters_ = 0;
  int inputWaitsEnded_ = 0;
  int configuredSpeed_ = 0;
  bool dtr_ = false;
  bool rts_ = false;
  bool open_ = false;
  int opens_ = 0;
  int purges_ = 0;

  template <typename T>
  T Get(const T& member) const {
    std::lock_guard lock(mutex_);
    return member;
  }
  // Wakes whatever waits on the line, as a stall or a hold being lifted must.
  template <typename T>
  void Set(T& member, T value) {
    std::lock_guard lock(mutex_);
    member = std::move(value);
    changed_.notify_all();
  }
};

// Opens FakeSerialLines by port number. A line already open is refused as in use, as a real
// exclusive device would be.
class FakeSerialDevices final : public SerialDeviceFactory {
 public:
  // The line of `port`, created on first use.
  FakeSerialLine& Line(int port);
  // Opening `port` fails with `failure` and the system code `code`.
  void FailOpen(int port, OpenFailure failure, std::uint32_t code, std::string group = {});

  DeviceOpen Open(int port) override;

 private:
  std::mutex mutex_;
  std::map<int, std::shared_ptr<FakeSerialLine>> lines_;
  std::map<int, DeviceOpen> failures_;
};

}  // namespace vandrel
