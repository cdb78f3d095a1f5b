#include "Globals.h"

QString AppFolder;
QString MyDocsFolder;
QString SettingsFile;
QString IniFile;
std::uint32_t ExeMsgId = 0;
bool RenewVoice = false;
std::int32_t ScreenWidthPx = 0;
std::int32_t ScreenTwipsY = 0;
