#pragma once
// Values set once at start-up and read by every part of the program.

#include <QString>
#include <cstdint>

struct Globals {
    // The program folder, without a trailing separator. Shipped files live here.
    QString AppFolder;
    // The user's documents folder.
    QString MyDocsFolder;
    // <documents>/orvenic/vella/Update.xml
    QString SettingsFile;
    // The same path as SettingsFile, empty until StartApplication copies it.
    QString IniFile;
    // Identifier of the registered "TesvikexeMsg" message (0 when none).
    std::uint32_t ExeMsgId = 0;
    // While true the speech facade makes a fresh voice for every utterance.
    bool RenewVoice = false;
    // Screen width in pixels and vertical twips per pixel, taken at start.
    std::int32_t ScreenWidthPx = 0;
    std::int32_t ScreenTwipsY = 0;
};

extern Globals globals;
