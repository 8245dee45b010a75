// clang-format off
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include "app/win32/port_names.h"

#include <array>

#include "platform/format_text.h"
#include "platform/utf16.h"

namespace vandrel {

namespace {

constexpr DWORD kNameChars = 256;

// The "PortName" value of a device's hardware key: "COM5", or nothing for a port of another kind
// (a printer port of the same class).
std::int32_t PortNumberOf(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return 0;
  std::array<wchar_t, kNameChars> name{};
  DWORD bytes = sizeof(name) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG read = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                     reinterpret_cast<BYTE*>(name.data()), &bytes);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return 0;
  int port = 0;
  return swscanf(name.data(), L"COM%d", &port) == 1 ? port : 0;
}

}  // namespace

std::map<std::int32_t, std::string> FriendlyPortNames() {
  std::map<std::int32_t, std::string> names;
  const HDEVINFO devices =
      SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    std::array<wchar_t, kNameChars> name{};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                           reinterpret_cast<BYTE*>(name.data()),
                                           sizeof(name) - sizeof(wchar_t), nullptr))
      continue;
    if (const std::int32_t port = PortNumberOf(devices, device); port > 0)
      names[port] = Narrow(name.data());
  }
  SetupDiDestroyDeviceInfoList(devices);
  return names;
}

std::string PortItemText(std::int32_t port, const std::string& friendlyName) {
  const std::string bare = FormatText("COM%d", port);
  if (friendlyName.empty()) return bare;
  if (friendlyName.find("(" + bare + ")") != std::string::npos) return friendlyName;
  return friendlyName + " (" + bare + ")";
}

}  // namespace vandrel
