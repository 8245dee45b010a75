#include "serial/device.h"

#include <atomic>

namespace vandrel {

namespace {
std::atomic<SerialDeviceFactory*> installedFactory{nullptr};
}  // namespace

SerialDeviceFactory& TheSerialDevices() {
  SerialDeviceFactory* factory = installedFactory.load();
  return factory != nullptr ? *factory : PlatformSerialDevices();
}

void InstallSerialDevices(SerialDeviceFactory* factory) {
  installedFactory.store(factory);
}

}  // namespace vandrel
