#pragma once
// The advert list: short captions with web links, read from AdList.xml in
// the program folder. A document window loads it when it opens; its advert
// line shows one caption at a time and opens the matching link.
//
// File format: the file's first node is the root element (any name; a
// declaration, comment or processing instruction before it gives no
// entries). Every child node of the root is one entry, in order, a comment
// included. Within an entry only position counts: the text of its first
// child is the caption, of its second child the link.

#include <QString>
#include <QStringList>

#include <cstdint>

struct AdvertList {
    // Caption of entry i at 2i, its link at 2i + 1.
    QStringList AdList;
    // Number of entries.
    std::int16_t AdCount = 0;
    // The entry the advert line shows; the advert line moves it on.
    std::int16_t AdIndex = 0;
};

extern AdvertList adverts;

// Reads AppFolder/AdList.xml into AdList and AdCount. A missing, empty or
// malformed file leaves both as they were.
void LoadAdList();
// The same for any file (the loader behind LoadAdList).
void LoadAdListFrom(const QString& path);
