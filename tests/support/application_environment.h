#pragma once

#include <gtest/gtest.h>

#include <memory>

namespace test_support {

// The application object (QGuiApplication for painting, QApplication for widgets) for a whole test
// program; fonts and widgets need it. Register it once per program:
//   const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment<QApplication>);
template <typename Application> class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { application_ = std::make_unique<Application>(argc_, argv_); }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[5] = "test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<Application> application_;
};

} // namespace test_support
