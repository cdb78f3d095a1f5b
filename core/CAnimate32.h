#pragma once
// Plays a silent video clip over and over in an area of a window, centred
// at the clip's own size on a transparent background. The area is a child
// widget of the given parent; the clip is a file that the desktop's media
// framework plays (an AVI clip, for example). Every member ignores errors:
// a missing or broken file plays nothing and raises nothing.

#include <QPointer>
#include <QString>

class QMediaPlayer;
class QVideoWidget;
class QWidget;

class CAnimate32 {
public:
    CAnimate32() = default;
    ~CAnimate32();
    CAnimate32(const CAnimate32&) = delete;
    CAnimate32& operator=(const CAnimate32&) = delete;

    // Makes the area at (left, top) of `parent`, width x height pixels,
    // opens the clip and starts playing it at once. An area made before is
    // destroyed first. No parent: nothing is made.
    void Create(QWidget* parent, const QString& aviPath, int left, int top, int width, int height);
    // Plays the whole clip from its first frame, repeating for ever.
    void AnimatePlay();
    // Stops playing; the frame shown stays.
    void AnimateStop();
    // Stops, then removes the area.
    void Destroy();
    // Has no effect: Create already starts playing.
    void AutoPlay() {}

private:
    void centreClip();

    QPointer<QWidget> outer_;
    QPointer<QVideoWidget> inner_;
    QPointer<QMediaPlayer> player_;
};
