// The wizard step counter's moves and events, and the animation area
// playing a real clip through the media framework (frames arriving at the
// video widget's sink, not pixels on the screen).
#include "core/CAnimate32.h"
#include "core/CWizard.h"

#include <QMediaPlayer>
#include <QTest>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(CWizard, MovesAndTheirEvents)
{
    const struct {
        const char* name;
        int stepCount, step;
        std::function<void(CWizard&)> act;
        bool cancel;
        int stepAfter;
        QStringList events;
    } cases[] = {
        {"next", 3, 0, &CWizard::MoveNext, false, 1, {"Validate", "DisplayStep"}},
        {"next past the last step", 3, 2, &CWizard::MoveNext, false, 2, {"Validate", "Finish"}},
        {"next with no steps", 0, 0, &CWizard::MoveNext, false, 0, {"Validate", "Finish"}},
        {"next refused", 3, 1, &CWizard::MoveNext, true, 1, {"Validate"}},
        {"back", 3, 2, &CWizard::MoveBack, false, 1, {"DisplayStep"}},
        {"back at step 0", 3, 0, &CWizard::MoveBack, false, 0, {"DisplayStep"}},
        {"step within the count", 3, 0, [](CWizard& w) { w.setStep(2); }, false, 2, {"DisplayStep"}},
        {"step beyond the count", 3, 0, [](CWizard& w) { w.setStep(5); }, false, 0, {}},
        {"step below 0", 3, 1, [](CWizard& w) { w.setStep(-1); }, false, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CWizard wizard;
        wizard.setStepCount(c.stepCount);
        wizard.setStep(c.step);
        QStringList events;
        QObject::connect(&wizard, &CWizard::Validate, [&](bool& cancel) {
            EXPECT_FALSE(cancel);
            events << "Validate";
            cancel = c.cancel;
        });
        QObject::connect(&wizard, &CWizard::DisplayStep, [&] { events << "DisplayStep"; });
        QObject::connect(&wizard, &CWizard::Finish, [&] { events << "Finish"; });
        c.act(wizard);
        EXPECT_EQ(wizard.Step(), c.stepAfter);
        EXPECT_EQ(events, c.events);
    }

    CWizard wizard;
    wizard.setStepCount(4);
    wizard.setStepCount(-1);
    EXPECT_EQ(wizard.StepCount(), 4);
    wizard.setStep(3);
    wizard.setStepCount(2); // the step is not adjusted
    EXPECT_EQ(wizard.Step(), 3);
}

QString clip()
{
    return QStringLiteral(TAMSEL_TEST_DATA "/moving-dot.avi");
}

TEST(CAnimate32, PlaysTheClipSilentlyCentredAndOverAndOver)
{
    QWidget window;
    window.resize(300, 200);
    window.show();
    CAnimate32 animation;
    animation.Create(&window, clip(), 10, 20, 200, 100);
    auto* player = window.findChild<QMediaPlayer*>();
    auto* video = window.findChild<QVideoWidget*>();
    ASSERT_TRUE(player && video);
    EXPECT_EQ(player->audioOutput(), nullptr);
    EXPECT_EQ(video->parentWidget()->geometry(), QRect(10, 20, 200, 100));

    // The clip is eight frames of 32 x 24 at 10 a second: a frame that
    // starts earlier than the one before means it began again.
    qint64 last = -1;
    int frames = 0;
    bool repeated = false;
    QObject::connect(video->videoSink(), &QVideoSink::videoFrameChanged, [&](const QVideoFrame& f) {
        if (!f.isValid())
            return;
        ++frames;
        repeated = repeated || f.startTime() < last;
        last = f.startTime();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return repeated; }, 20000)) << frames << " frames";
    EXPECT_EQ(video->geometry(), QRect((200 - 32) / 2, (100 - 24) / 2, 32, 24));

    animation.AnimateStop();
    EXPECT_EQ(player->playbackState(), QMediaPlayer::PausedState);
    animation.AutoPlay();
    EXPECT_EQ(player->playbackState(), QMediaPlayer::PausedState);
    animation.AnimatePlay();
    EXPECT_EQ(player->playbackState(), QMediaPlayer::PlayingState);
    const int before = frames;
    EXPECT_TRUE(QTest::qWaitFor([&] { return frames > before; }, 10000));

    animation.Destroy();
    EXPECT_EQ(window.findChild<QMediaPlayer*>(), nullptr);
    EXPECT_EQ(window.findChild<QVideoWidget*>(), nullptr);
    animation.AnimatePlay(); // nothing left to play: no effect
}

TEST(CAnimate32, AMissingClipOrParentPlaysNothingAndRaisesNothing)
{
    QWidget window;
    CAnimate32 animation;
    animation.Create(nullptr, clip(), 0, 0, 50, 50);
    animation.AnimatePlay();
    animation.Create(&window, QStringLiteral("/nonexistent/clip.avi"), 0, 0, 50, 50);
    auto* player = window.findChild<QMediaPlayer*>();
    ASSERT_TRUE(player);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->error() != QMediaPlayer::NoError; }, 10000));
    animation.AnimatePlay();
    animation.AnimateStop();
    // A second Create replaces the first area.
    animation.Create(&window, clip(), 0, 0, 50, 50);
    EXPECT_EQ(window.findChildren<QMediaPlayer*>().size(), 1);
    animation.Destroy();
    animation.Destroy();
}

} // namespace
