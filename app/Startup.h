#pragma once
// The program's start: settings file, single instance, automatic start,
// screen metrics, then the controller and one face.

#include <QString>
#include <QStringList>
#include <optional>

// Runs the start-up steps. Returns false when the program ends at once
// (a second instance, or an automatic start that is switched off).
bool Main(const QStringList& arguments);
// Loads the controller and shows the face chosen by ReadSet/StartUp.
void StartApplication();

// "True"/"False" in any letter case, or a number (0 is false); nothing for
// any other text.
std::optional<bool> TruthValue(const QString& text);

enum class StartFace { FloatingBar, Splash };
// 1 shows the floating bar; any other value, or one that is not a number,
// the splash.
StartFace ChooseStartFace(const QString& startUpValue);

// Creates <documents>/orvenic/vella and copies the template there when no
// settings file exists; the new file's voice (ReadSet/Reader) is the one of
// the user's language. An existing file that the settings store can use is
// never replaced; one it cannot use (empty, damaged, not XML, or with
// anything before its root element) is renamed to
// "<settingsFile>.broken-<date>", so that nothing in it is lost, and the
// template is copied in its place. Returns what the user must be told about
// that, naming both files; "" when there is nothing to tell.
QString PrepareSettingsFile(const QString& templateFile, const QString& settingsFile);
