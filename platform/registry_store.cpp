#include "platform/registry_store.h"

#include <atomic>

namespace vandrel {

namespace {
std::atomic<RegistryStore*> installedStore{nullptr};
}  // namespace

RegistryStore& TheRegistryStore() {
  RegistryStore* store = installedStore.load();
  return store != nullptr ? *store : PlatformRegistryStore();
}

void InstallRegistryStore(RegistryStore* store) {
  installedStore.store(store);
}

}  // namespace vandrel
