#pragma once

#include <array>
#include <cstdint>
#include <string>

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

// The running state of one front end, shared by its user interface and its send job: what the
// next send takes (the object's kind, file and title, the port) and how patient it is. The front
// end owns it and hands it down; the send job's thread reads it only while the front end waits
// for the send.
struct AppState {
  std::uint8_t titleLength = 0;
  std::array<std::uint16_t, kMaxTitleChars> titleChars{};
  const ObjectKindRow* currentObjectType = nullptr;
  std::string filePath;
  PortSelection* portSelection = nullptr;
  // Patient waits: every answer polled for its full steps, every file detected anew. For a
  // handset that needs them; off unless the user asks.
  bool patientWaits = false;

  // The kind of the next send's object; 0 while no kind is chosen.
  std::int32_t ObjectKindOfSend() const {
    return currentObjectType != nullptr ? currentObjectType->kind : 0;
  }
};

}  // namespace vandrel
