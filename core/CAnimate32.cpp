#include "core/CAnimate32.h"

#include "core/IgnoreErrors.h"

#include <QMediaPlayer>
#include <QUrl>
#include <QVideoSink>
#include <QVideoWidget>

CAnimate32::~CAnimate32()
{
    Destroy();
}

void CAnimate32::Create(QWidget* parent, const QString& aviPath, int left, int top, int width, int height)
{
    Destroy();
    if (!parent)
        return;
    IgnoreErrors([&] {
        // The outer area paints nothing of its own, so the window shows
        // through around the clip.
        outer_ = new QWidget(parent);
        outer_->setAttribute(Qt::WA_TranslucentBackground);
        outer_->setGeometry(left, top, width, height);

        inner_ = new QVideoWidget(outer_);
        inner_->setGeometry(outer_->rect());
        // Queued: the sink announces a new size while it still holds the
        // lock that reading the size takes.
        QObject::connect(inner_->videoSink(), &QVideoSink::videoSizeChanged, inner_, [this] { centreClip(); },
                         Qt::QueuedConnection);

        // The player has no audio output: the clip plays silently. It
        // belongs to the outer area and goes with it.
        player_ = new QMediaPlayer(outer_);
        player_->setVideoOutput(inner_.data());
        player_->setLoops(QMediaPlayer::Infinite);
        player_->setSource(QUrl::fromLocalFile(aviPath));

        inner_->show();
        outer_->show();
        player_->play();
    });
}

void CAnimate32::centreClip()
{
    if (!outer_ || !inner_)
        return;
    const QSize clip = inner_->videoSink()->videoSize();
    if (clip.isEmpty())
        return;
    // At the clip's own size, or scaled down to fit the area.
    const QSize area = outer_->size();
    const QSize shown = (clip.width() <= area.width() && clip.height() <= area.height())
                            ? clip
                            : clip.scaled(area, Qt::KeepAspectRatio);
    const QPoint at((outer_->width() - shown.width()) / 2, (outer_->height() - shown.height()) / 2);
    inner_->setGeometry(QRect(at, shown));
}

void CAnimate32::AnimatePlay()
{
    IgnoreErrors([&] {
        if (!player_)
            return;
        player_->setPosition(0);
        player_->play();
    });
}

void CAnimate32::AnimateStop()
{
    IgnoreErrors([&] {
        if (player_)
            player_->pause();
    });
}

void CAnimate32::Destroy()
{
    AnimateStop();
    IgnoreErrors([&] {
        delete player_.data();
        delete inner_.data();
        delete outer_.data();
    });
}
