// One QApplication for the window tests; headless unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("ORVELLA_BIN_DIR")) qputenv("ORVELLA_BIN_DIR", ORVELLA_DEFAULT_BIN_DIR);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
