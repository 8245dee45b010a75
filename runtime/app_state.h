#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace vandrel {

// Object kinds, as the object-kind rows and the stored "ObjectType" number them.
enum ObjectKind : std::int32_t { kGraphic = 1, kSound = 2, kAnimation = 3, kVCard = 4 };

struct ObjectKindRow {
  std::string name;
  std::int32_t kind = kGraphic;
  std::string filter;
  std::string formats;
  bool enabled = true;
};

// The COM port number of the next send.
struct PortSelection {
  std::int32_t port = 1;
};

inline constexpr std::size_t kMaxTitleChars = 20;
inline constexpr const char* kAppName = "Vandrel";
inline constexpr const char* kAppTitle = "Vandrel v6.03";

// The application's run-time record, shared by the user interface, the send job, the serial
// writer thread and the object loader. Each field has one writer at a time; the two that a
// second thread reads during a send are atomic.
struct AppState {
  std::uint8_t titleLength = 0;
  std::array<std::uint16_t, kMaxTitleChars> titleChars{};
  const ObjectKindRow* currentObjectType = nullptr;
  std::string filePath;
  std::string resultPath;
  std::atomic<std::uint32_t> bytesSent{0};
  PortSelection* portSelection = nullptr;
  std::string appTitle = kAppTitle;
  std::int32_t language = 0;
  std::int32_t fileCount = 0;
  std::vector<std::string> fileList;
  bool traceEnabled = false;
  bool batchMode = false;
  // The fixed pauses of old: every answer polled for its full steps, every file detected anew.
  // For a handset that needs them; off unless the user asks.
  bool patientWaits = false;
  std::atomic<bool> sending{false};
};

// The one record of the process.
AppState& TheAppState();
// Puts every field back to its start value (start-up, and between tests).
void ResetAppState();

}  // namespace vandrel
