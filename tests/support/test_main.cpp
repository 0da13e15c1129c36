// GoogleTest's main for the suites that need no QApplication.
#include <gtest/gtest.h>

#include "tests/support/environment.hpp"

int main(int argc, char** argv) {
  testsupport::prepare_environment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
