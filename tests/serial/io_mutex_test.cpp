#include "serial/io_mutex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vandrel {
namespace {

constexpr int kTrials = 15;
constexpr int kMaxRetakes = 100'000;

// The holder releases and takes the lock again and again, as the reader does after each short
// read; returns how often it did so before a thread that asked meanwhile got the lock. The pause
// lets the waiter get into the lock before the holder starts: without it the waiter may still be
// on its way when the first releases go by, and any mutex looks fair.
int RetakesBeforeTheWaiterIsServed() {
  IoMutex mutex;
  std::atomic<bool> asked{false};
  std::atomic<bool> served{false};
  mutex.lock();
  std::thread waiter([&] {
    asked = true;
    mutex.lock();
    served = true;
    mutex.unlock();
  });
  while (!asked) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  int retakes = 0;
  for (; !served && retakes < kMaxRetakes; ++retakes) {
    mutex.unlock();
    mutex.lock();
  }
  mutex.unlock();
  waiter.join();
  return retakes;
}

// First come, first served: the waiter gets the lock at the holder's next release, where an
// ordinary mutex lets the holder take it again before the waiter has woken.
TEST(IoMutex, AThreadThatAskedIsServedBeforeTheHolderTakesItAgain) {
  std::vector<int> retakes;
  for (int trial = 0; trial < kTrials; ++trial) retakes.push_back(RetakesBeforeTheWaiterIsServed());
  std::ranges::nth_element(retakes, retakes.begin() + kTrials / 2);
  EXPECT_LE(retakes[kTrials / 2], 10) << "median retakes before the waiter was served";
}

}  // namespace
}  // namespace vandrel
