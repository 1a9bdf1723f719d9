#include "tests/app/gui_test_support.h"

#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"

namespace app_tests {

void click(QWidget* widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

namespace {

// The program's own application object for the whole test run (offscreen platform, set by CTest).
class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { application_ = std::make_unique<app::Application>(argc_, argv_); }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[9] = "app_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<app::Application> application_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

} // namespace app_tests
