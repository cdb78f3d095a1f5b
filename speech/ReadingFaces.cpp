#include "ReadingFaces.h"

QAction* ReadingFaces::mnuTrayStop = nullptr;
QAction* ReadingFaces::mnuTrayPause = nullptr;

namespace {

class NoFaces final : public ReadingFaces {
public:
    FloatingBarFace* floatingBar() override { return nullptr; }
    MainWindowFace* mainWindow() override { return nullptr; }
    ActiveDocument* activeDocument() override { return nullptr; }
};

ReadingFaces* installed = nullptr;

} // namespace

ReadingFaces& ReadingFaces::get()
{
    static NoFaces none;
    return installed ? *installed : none;
}

void ReadingFaces::install(ReadingFaces* faces)
{
    installed = faces;
}
