#include "serial/io_mutex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace vandrel {
namespace {

constexpr int kTrials = 15;
constexpr int kMaxRetakes = 100'000;

// The holder releases and takes the lock again and again, as the reader does after each short
// read; returns how often it did so before a thread that asked meanwhile got the lock.
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
  EXPECT_LE(retakes[kTrials / 2], 2) << "median retakes before the waiter was served";
}

}  // namespace
}  // namespace vandrel
