// One QApplication for every test of the executable, on the offscreen platform: the tests need
// no display, and the clipboard stays inside the process.
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

class TQtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "test_gui";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new TQtApplication);

}  // namespace
