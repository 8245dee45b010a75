#include "app/batch_summary.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

// The summary follows the order of the drop, whatever went to the batch, and counts a file of no
// known kind among the failures.
TEST(BatchSummary, NamesEveryDroppedFileWithItsResultInTheOrderDropped) {
  const std::vector<std::string> dropped{"C:\\Cards\\one.vcf", "C:\\Docs\\notes.txt",
                                         "C:\\Pictures\\Two.PNG", "Z:/sounds/ring.wav"};
  EXPECT_EQ(SendableFiles(dropped),
            (std::vector<std::string>{"C:\\Cards\\one.vcf", "C:\\Pictures\\Two.PNG",
                                      "Z:/sounds/ring.wav"}));
  BatchResult result;
  for (const bool sent : {true, false, true}) result.outcomes.push_back({.succeeded = sent});
  EXPECT_EQ(BatchSummary(dropped, result),
            "one.vcf: sent\n"
            "notes.txt: not a kind of object the handset takes\n"
            "Two.PNG: failed\n"
            "ring.wav: sent\n"
            "\n"
            "2 sent, 2 failed");
}

}  // namespace
}  // namespace vandrel
