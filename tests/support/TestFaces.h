#pragma once
// Reading faces a test sets by hand, installed while the object lives.

#include "speech/ReadingFaces.h"

#include <functional>

class TestFaces final : public ReadingFaces {
public:
    FloatingBarFace* bar = nullptr;
    MainWindowFace* main = nullptr;
    // The active document window; none when empty.
    std::function<ActiveDocument*()> document;

    TestFaces() { ReadingFaces::install(this); }
    ~TestFaces() override
    {
        if (&ReadingFaces::get() == this)
            ReadingFaces::install(nullptr);
    }
    TestFaces(const TestFaces&) = delete;
    TestFaces& operator=(const TestFaces&) = delete;

    FloatingBarFace* floatingBar() override { return bar; }
    MainWindowFace* mainWindow() override { return main; }
    ActiveDocument* activeDocument() override { return document ? document() : nullptr; }
};
