#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/serial/transfer_check.h"

namespace vandrel {
namespace {

// Run by wine_com_test.cmake under pty-peer, which links the Wine COM port named by
// VANDREL_TEST_COM_PORT to a pseudo-terminal and checks what crosses it.
TEST(SerialWineCom, BytesCrossBothWaysCompleteAndInOrder) {
  const char* port = std::getenv("VANDREL_TEST_COM_PORT");
  if (port == nullptr) GTEST_SKIP() << "VANDREL_TEST_COM_PORT is not set";
  CheckTransferThrough(std::atoi(port));
}

}  // namespace
}  // namespace vandrel
