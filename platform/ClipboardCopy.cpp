#include "ClipboardCopy.h"

#include "Keystrokes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace {

// Virtual key of the C key.
constexpr int kKeyC = 67;

// What the clipboard held before the first copy still pending, and how
// many copies are pending.
std::unique_ptr<QMimeData> kept;
int pendingCopies = 0;

QClipboard* clipboard()
{
    return qGuiApp ? QGuiApplication::clipboard() : nullptr;
}

// A copy of every format of the clipboard's content, taken from its owner
// now (it may be gone by the time the content is put back).
std::unique_ptr<QMimeData> snapshot(const QMimeData* source)
{
    auto copy = std::make_unique<QMimeData>();
    if (!source)
        return copy;
    for (const QString& format : source->formats()) {
        // Qt's own image flavour is made from the image formats kept
        // beside it; it has no bytes of its own.
        if (format == u"application/x-qt-image")
            continue;
        copy->setData(format, source->data(format));
    }
    return copy;
}

// Whether the clipboard still holds what was kept: the same formats and
// the same text.
bool unchanged(const QMimeData* now, const QMimeData& before)
{
    const QStringList formats = now ? now->formats() : QStringList();
    return formats == before.formats() && (!now || now->text() == before.text());
}

void putBack(std::unique_ptr<QMimeData> before)
{
    QClipboard* c = clipboard();
    if (!c || !before || unchanged(c->mimeData(), *before))
        return;
    if (before->formats().isEmpty())
        c->clear();
    else
        c->setMimeData(before.release()); // the clipboard owns it now
}

} // namespace

ClipboardCopy::~ClipboardCopy()
{
    end();
}

void ClipboardCopy::copy(bool emptyFirst)
{
    if (!pending_) {
        pending_ = true;
        if (pendingCopies++ == 0) {
            QClipboard* c = clipboard();
            kept = snapshot(c ? c->mimeData() : nullptr);
        }
    }
    if (emptyFirst) {
        if (QClipboard* c = clipboard())
            c->clear();
    }
    SendCtrlChord(kKeyC);
}

void ClipboardCopy::end()
{
    if (!pending_)
        return;
    pending_ = false;
    if (--pendingCopies == 0)
        putBack(std::move(kept));
}
