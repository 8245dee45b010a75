#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "serial/serial_port.h"
#include "tests/doubles/fake_device.h"

namespace vandrel {

// A clock for protocol tests: sleeping advances virtual time, then waits (in real time) until
// everything queued for `port` reached the scripted device and its answer was taken by the
// driver's reader, so each poll sees exactly what a real handset would have answered by then.
// Bytes can be put on the line at a later virtual time, as a handset that answers late.
class SettlingClock final : public Clock {
 public:
  SettlingClock(int port, FakeSerialLine& line) : port_(port), line_(line) {}
  void Sleep(std::uint32_t ms) override { AdvanceTo(now_ + ms); }
  std::uint64_t NowMs() override { return now_; }
  // Wakes at the first arrival that makes `ready` hold, else after all of `ms`.
  std::uint32_t SleepUntil(std::uint32_t ms, WakeSignal&,
                           const std::function<bool()>& ready) override {
    const std::uint64_t start = now_;
    const std::uint64_t end = start + ms;
    Settle();
    while (!ready()) {
      const auto next = late_.begin();
      if (next == late_.end() || next->first > end) {
        AdvanceTo(end);
        break;
      }
      AdvanceTo(next->first);
    }
    return static_cast<std::uint32_t>(now_ - start);
  }
  // `bytes` arrive `afterMs` from now.
  void FeedLater(std::uint64_t afterMs, std::string bytes) {
    late_.emplace(now_ + afterMs, std::move(bytes));
  }

 private:
  void AdvanceTo(std::uint64_t ms) {
    now_ = std::max<std::uint64_t>(now_, ms);
    while (!late_.empty() && late_.begin()->first <= now_) {
      line_.Feed(late_.begin()->second);
      late_.erase(late_.begin());
    }
    Settle();
  }

  // Waits until the writer has sent its queue and the reader has stored what the device holds:
  // the reader takes bytes from the device only inside a step, and has stored them when the step
  // has ended. A driver that has not settled within two seconds fails the test.
  void Settle() {
    SerialPort* record = ThePortTable().Find(port_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
      // nothing more is written to or read from a line that failed
      const bool ended = LineEnded(*record);
      const bool written = record->queueConsumed.load() == record->queueFilled.load() || ended;
      if (written && (line_.Unread() == 0 || ended) && !record->readerBusy.load()) return;
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    ADD_FAILURE() << "COM" << port_ << " never settled: queue " << record->queueConsumed.load()
                  << "/" << record->queueFilled.load() << ", " << line_.Unread() << " bytes unread";
  }

  int port_;
  FakeSerialLine& line_;
  std::atomic<std::uint64_t> now_{0};
  std::multimap<std::uint64_t, std::string> late_;
};

// A scripted handset behind a fake line: echoes each command, answers it from a table, and
// takes the title and object bytes by the lengths the commands announced.
class FakeHandset {
 public:
  // Answers by command (without its "\r"); commands not listed answer "OK".
  std::map<std::string, std::string> answers{
      {"ATI3", "\r\nKESTA Tarn-5\r\n\r\nOK\r\n"},
      {"AT+KDOBJ?", "\r\n+KDOBJ: 500000\r\n\r\nOK\r\n"},
      {"AT+CGSN", "\r\n351234567890123\r\n\r\nOK\r\n"},
      {"AT+KDOBJ=2,1,3,0", "\r\nCONNECT\r\n"},
      {"AT+KDOBJ=2,1,0", "\r\nCONNECT\r\n"},
  };
  // Answer after the object bytes (by format code prefix "1," etc. left to the test).
  std::function<std::string(const std::string& formatAndSize)> objectAnswer =
      [](const std::string&) { return std::string("\r\nOK\r\n"); };
  bool silent = false;
  // Whether the handset hears the line at all; called from the device with its lock held.
  std::function<bool()> listening = [] { return true; };

  std::vector<std::string> commands;

  void Attach(FakeSerialLine& line) {
    line.SetAnswerer([this](std::string_view written) { return Receive(written); });
  }

 private:
  std::string Receive(std::string_view written) {
    std::string answer;
    for (const char c : written) {
      if (pending_ > 0) {
        if (--pending_ == 0)
          answer += inObject_ ? objectAnswer(objectHeader_) : std::string("\r\nOK\r\n");
        continue;
      }
      if (c != '\r') {
        line_ += c;
        continue;
      }
      commands.push_back(line_);
      answer += Answer(line_);
      line_.clear();
    }
    return silent || !listening() ? std::string() : answer;
  }

  std::string Answer(const std::string& command) {
    std::string reply = command + "\r";
    const std::size_t comma = command.rfind(',');
    if (command.starts_with("AT+KDOBJ=2,1,3,0,") || command.starts_with("AT+KDOBJ=2,1,0,")) {
      const bool object = command.starts_with("AT+KDOBJ=2,1,0,");
      const std::string key = object ? "AT+KDOBJ=2,1,0" : "AT+KDOBJ=2,1,3,0";
      const std::string& connect = answers[key];
      if (connect.find("CONNECT") != std::string::npos || connect.find("OK") != std::string::npos) {
        pending_ = std::stoul(command.substr(comma + 1));
        inObject_ = object;
        objectHeader_ = command.substr(std::string("AT+KDOBJ=2,1,0,").size());
      }
      return reply + connect;
    }
    const auto found = answers.find(command);
    return reply + (found != answers.end() ? found->second : std::string("\r\nOK\r\n"));
  }

  std::string line_;
  std::size_t pending_ = 0;
  bool inObject_ = false;
  std::string objectHeader_;
};

}  // namespace vandrel
