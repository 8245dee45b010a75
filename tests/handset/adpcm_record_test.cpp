#include "handset/adpcm_record.h"

#include <gtest/gtest.h>

#include "platform/registry_tree.h"

namespace vandrel {
namespace {

class AdpcmRecordTest : public testing::Test {
 protected:
  void SetUp() override { InstallRegistryStore(&store_); }
  void TearDown() override { InstallRegistryStore(nullptr); }
  void Store(std::string_view imei, std::vector<std::uint8_t> data) {
    store_.Tree().SetValue(RegistryRoot::kCurrentUser,
                           std::string("Software\\Kesta\\VANDREL\\IMEI\\").append(imei),
                           "ADPCM_Compatibility", {RegistryType::kString, std::move(data)});
  }
  MemoryRegistryStore store_;
};

TEST_F(AdpcmRecordTest, OnlyExactYesAndNoAreRecords) {
  bool accepts = false;
  EXPECT_FALSE(ReadAdpcmRecord("1", accepts));
  EXPECT_TRUE(accepts);
  const struct {
    std::vector<std::uint8_t> data;
    bool record;
    bool accepts;
  } cases[] = {{{'N', 'o', 0}, true, false},   {{'Y', 'e', 's', 0}, true, true},
               {{'n', 'o', 0}, false, true},   {{'N', 'O', 0}, false, true},
               {{'Y', 'e', 's'}, false, true}, {{'N', 'o', 0, 0}, false, true},
               {{'N', 'o', 'X'}, true, false}};
  for (const auto& c : cases) {
    Store("2", c.data);
    accepts = !c.accepts;
    EXPECT_EQ(ReadAdpcmRecord("2", accepts), c.record);
    EXPECT_EQ(accepts, c.accepts);
  }
}

// A refusal read back is checked with the download that records it (download_test.cpp).
TEST_F(AdpcmRecordTest, EmptyImeiKeepsTheKeyName) {
  WriteAdpcmRecord("", false);
  const auto* key =
      store_.Tree().FindKey(RegistryRoot::kCurrentUser, "Software\\Kesta\\VANDREL\\IMEI");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->values.size(), 1u);
  EXPECT_EQ(key->values[0].value.data, (std::vector<std::uint8_t>{'N', 'o', 0}));
}

}  // namespace
}  // namespace vandrel
