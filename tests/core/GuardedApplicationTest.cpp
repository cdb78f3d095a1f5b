// The program's application object: an error that escapes an event handler
// is written as one line to standard error and the program goes on.
#include "core/GuardedApplication.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

// An object whose handler of one event type fails.
class Failing : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("first line\nsecond line");
        if (e->type() == QEvent::Type(QEvent::User + 1))
            throw 42; // not a standard exception
        if (e->type() == QEvent::Type(QEvent::User + 2)) {
            ++handled;
            return true;
        }
        return QObject::event(e);
    }
};

TEST(GuardedApplication, AnErrorEscapingAHandlerIsReportedOnceAndTheProgramGoesOn)
{
    ASSERT_NE(dynamic_cast<GuardedApplication*>(QCoreApplication::instance()), nullptr);
    Failing target;
    target.setObjectName("target");

    testing::internal::CaptureStderr();
    QEvent direct(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &direct));
    const std::string sent = testing::internal::GetCapturedStderr();
    EXPECT_NE(sent.find("first line second line"), std::string::npos) << sent;
    EXPECT_NE(sent.find("target"), std::string::npos) << sent;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), '\n'), 1) << sent;

    // Through the event loop: a posted event, then a timer whose slot fails,
    // then an event that is handled as usual.
    testing::internal::CaptureStderr();
    QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 1)));
    bool timerRan = false;
    QTimer::singleShot(0, &target, [&timerRan] {
        timerRan = true;
        throw std::logic_error("from a slot");
    });
    QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 2)));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const std::string looped = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(target.handled, 1) << "events after the failing ones are still delivered";
    EXPECT_NE(looped.find("not a standard exception"), std::string::npos) << looped;
    EXPECT_NE(looped.find("from a slot"), std::string::npos) << looped;
    EXPECT_EQ(std::count(looped.begin(), looped.end(), '\n'), 2) << looped;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
