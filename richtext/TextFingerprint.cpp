#include "TextFingerprint.h"

#include <QHash>

#include <algorithm>

namespace {

// The text is hashed in pieces of this many characters, each hash seeded
// with the one before, so that a text given in parts of any length is
// hashed exactly as the whole of it.
constexpr qsizetype kPieceLength = 4096;

} // namespace

TextFingerprint::TextFingerprint(QStringView text)
{
    Builder builder;
    builder.append(text);
    *this = builder.result();
}

void TextFingerprint::add(QStringView piece)
{
    length_ += piece.size();
    first_ = qHash(piece, first_);
    second_ = qHash(piece, second_ ^ 0x5851F42D4C957F2Du);
}

void TextFingerprint::Builder::append(QStringView part)
{
    if (!pending_.isEmpty()) {
        const qsizetype take = std::min(kPieceLength - pending_.size(), part.size());
        pending_ += part.first(take);
        part = part.sliced(take);
        if (pending_.size() < kPieceLength)
            return;
        made_.add(pending_);
        pending_.clear();
    }
    while (part.size() >= kPieceLength) {
        made_.add(part.first(kPieceLength));
        part = part.sliced(kPieceLength);
    }
    pending_ += part;
}

TextFingerprint TextFingerprint::Builder::result() const
{
    TextFingerprint done = made_;
    if (!pending_.isEmpty())
        done.add(pending_);
    return done;
}
