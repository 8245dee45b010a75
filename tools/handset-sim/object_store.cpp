#include "tools/handset-sim/object_store.h"

#include <algorithm>
#include <cstdio>

namespace vandrel::sim {
namespace {

constexpr std::string_view kIncomingName = ".incoming";
constexpr char kReplacement = '?';
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7f;
constexpr unsigned char kFirstTwoByteUtf8 = 0x80;

std::string TitleAsUtf8(std::string_view title) {
  std::string text;
  for (const char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < kFirstPrintable || byte == kDelete) {
      text += kReplacement;
    } else if (byte < kFirstTwoByteUtf8) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

std::string ObjectFileName(std::uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "object-%04u.bin", number);
  return name;
}

}  // namespace

std::string ManifestLine(const ObjectRecord& record) {
  return std::to_string(record.formatCode) + '\t' + TitleAsUtf8(record.title) + '\t' +
         std::to_string(record.size) + '\t' + record.sha256 + '\n';
}

std::filesystem::path ObjectStore::IncomingPath() const {
  return folder_ / kIncomingName;
}

bool ObjectStore::Prepare(std::string& error) {
  if (folder_.empty()) return true;
  std::error_code status;
  std::filesystem::create_directories(folder_, status);
  if (status) {
    error = "cannot create " + folder_.string() + ": " + status.message();
    return false;
  }
  // Numbering goes on after the objects of earlier runs.
  std::ifstream manifest(folder_ / kManifestName, std::ios::binary);
  storedCount_ = static_cast<std::uint32_t>(
      std::count(std::istreambuf_iterator<char>(manifest), std::istreambuf_iterator<char>(), '\n'));
  return true;
}

bool ObjectStore::Begin() {
  if (folder_.empty()) return true;
  incoming_.close();
  incoming_.open(IncomingPath(), std::ios::binary | std::ios::trunc);
  return incoming_.good();
}

bool ObjectStore::Append(std::span<const std::uint8_t> bytes) {
  if (folder_.empty()) return true;
  incoming_.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
  return incoming_.good();
}

bool ObjectStore::Commit(const ObjectRecord& record, std::filesystem::path& storedAs) {
  storedAs.clear();
  if (folder_.empty()) return true;
  incoming_.close();
  if (incoming_.fail()) return false;
  const std::filesystem::path target = folder_ / ObjectFileName(storedCount_ + 1);
  std::error_code status;
  std::filesystem::rename(IncomingPath(), target, status);
  if (status) return false;
  std::ofstream manifest(folder_ / kManifestName, std::ios::binary | std::ios::app);
  manifest << ManifestLine(record);
  manifest.close();
  if (manifest.fail()) return false;
  ++storedCount_;
  storedAs = target;
  return true;
}

void ObjectStore::Discard() {
  if (folder_.empty()) return;
  incoming_.close();
  std::error_code ignored;
  std::filesystem::remove(IncomingPath(), ignored);
}

}  // namespace vandrel::sim
