// GoogleTest's main for tests of the window, on the Qt platform that QT_PLATFORM names.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/environment.hpp"

int main(int argc, char** argv) {
  testsupport::prepare_environment();
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", QT_PLATFORM);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
