#pragma once
// Values set once at start-up and read by every part of the program.

#include <QString>
#include <cstdint>

// The program folder, without a trailing separator. Shipped files live here.
extern QString AppFolder;
// The user's documents folder.
extern QString MyDocsFolder;
// <documents>/orvenic/vella/Update.xml
extern QString SettingsFile;
// The same path as SettingsFile, empty until StartApplication copies it.
extern QString IniFile;
// Identifier of the registered "TesvikexeMsg" message (0 when none).
extern std::uint32_t ExeMsgId;
// While true the speech facade makes a fresh voice for every utterance.
extern bool RenewVoice;
// Screen width in pixels and vertical twips per pixel, taken at start.
extern std::int32_t ScreenWidthPx;
extern std::int32_t ScreenTwipsY;
