// GoogleTest's main for tests on a real X display (run under xvfb-run).
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/environment.hpp"

int main(int argc, char** argv) {
  testsupport::prepare_environment();
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
