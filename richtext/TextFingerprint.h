#pragma once
// A fingerprint of a text: its length and 128 bits hashed from its
// characters (two 64-bit hashes with different seeds). Documents remember
// what they last loaded or saved this way rather than as a copy of the
// text, which for a long document costs as much memory as the document
// itself.

#include <QString>
#include <QStringView>

#include <cstddef>

class TextFingerprint {
public:
    // The fingerprint of the empty text.
    TextFingerprint() = default;
    explicit TextFingerprint(QStringView text);

    bool operator==(const TextFingerprint&) const = default;

    // Takes a text a part at a time.
    class Builder;

private:
    // Hashes one piece of the text into the fingerprint.
    void add(QStringView piece);

    qsizetype length_ = 0;
    std::size_t first_ = 0x9E3779B97F4A7C15u;
    std::size_t second_ = 0xC2B2AE3D27D4EB4Fu;
};

// The same text gives the same fingerprint however it is cut into parts.
class TextFingerprint::Builder {
public:
    void append(QStringView part);
    TextFingerprint result() const;

private:
    QString pending_; // the start of the next whole piece
    TextFingerprint made_;
};
