#include "handset/adpcm_record.h"

#include <string>

#include "platform/registry_store.h"

namespace vandrel {

namespace {

constexpr std::string_view kRecordKey = "Software\\Kesta\\VANDREL\\IMEI\\";
constexpr std::string_view kValueName = "ADPCM_Compatibility";
constexpr std::string_view kYes = "Yes";
constexpr std::string_view kNo = "No";

std::string KeyPath(std::string_view imei) {
  return std::string(kRecordKey).append(imei);
}

// The stored word with its terminating zero: exactly that size, the letters compared as they are.
bool IsRecord(const RegistryValue& value, std::string_view word) {
  return value.data.size() == word.size() + 1 &&
         std::equal(word.begin(), word.end(), value.data.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

bool ReadAdpcmRecord(std::string_view imei, bool& accepts) {
  accepts = true;
  RegistryStore& store = TheRegistryStore();
  std::optional<RegistryValue> value;
  {
    ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, KeyPath(imei)));
    if (!key) return false;
    value = store.QueryValue(*key, kValueName);
  }
  if (!value) return false;
  if (IsRecord(*value, kNo)) {
    accepts = false;
    return true;
  }
  return IsRecord(*value, kYes);
}

void WriteAdpcmRecord(std::string_view imei, bool accepts) {
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, KeyPath(imei)));
  if (key) store.SetValue(*key, kValueName, RegistryValue::String(accepts ? kYes : kNo));
}

}  // namespace vandrel
