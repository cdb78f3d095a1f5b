#include "app/Startup.h"

#include "app/AppWindows.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "core/TextHelpers.h"
#include "mainwindow/RichTextPrint.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmPopup.h"
#include "platform/SingleInstance.h"
#include "platform/SpeechVoice.h"
#include "platform/SystemServices.h"
#include "speech/systemtray.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cmath>

namespace {
const QString kAutoStartSwitch = QStringLiteral("3250");
// The whole argument text after the program name.
QString CommandLineText;
}

std::optional<bool> TruthValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double n = t.toDouble(&ok);
    if (ok && std::isfinite(n))
        return n != 0;
    return std::nullopt;
}

StartFace ChooseStartFace(const QString& startUpValue)
{
    bool ok = false;
    const double n = startUpValue.trimmed().toDouble(&ok);
    return ok && std::llround(n) == 1 ? StartFace::FloatingBar : StartFace::Splash;
}

namespace {

// Copies the template to the settings file, which the user may change. A
// new file reads in the user's language: its voice is the installed voice
// of the user's locale (the template cannot know where that voice stands in
// the list).
bool copyTemplate(const QString& templateFile, const QString& settingsFile)
{
    if (!QFile::copy(templateFile, settingsFile))
        return false;
    // The template may be installed read-only; the user's copy must not be.
    QFile::setPermissions(settingsFile,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    IgnoreErrors([&] {
        if (const std::unique_ptr<SpeechVoice> voice = CreateSpeechVoice()) {
            WriteSetting(settingsFile, QStringLiteral("ReadSet"), QStringLiteral("Reader"),
                         QString::number(UserVoiceIndex(voice->GetVoices())));
        }
    });
    return true;
}

// A name beside the settings file that no file has yet.
QString brokenFileName(const QString& settingsFile)
{
    const QString stem = settingsFile + QStringLiteral(".broken-")
        + QDate::currentDate().toString(Qt::ISODate);
    QString name = stem;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + QStringLiteral("-%1").arg(n);
    return name;
}

// Puts the template in the place of a settings file the store cannot use.
QString replaceUnusableSettingsFile(const QString& templateFile, const QString& settingsFile)
{
    const QString aside = brokenFileName(settingsFile);
    const QString shown = QDir::toNativeSeparators(settingsFile);
    if (!QFile::rename(settingsFile, aside)) {
        return QStringLiteral("The settings file\n%1\ncannot be read, and it could not be renamed to make room "
                              "for the default settings. Lectova runs without its settings until the file is "
                              "repaired or removed.")
            .arg(shown);
    }
    if (!copyTemplate(templateFile, settingsFile)) {
        return QStringLiteral("The settings file\n%1\ncannot be read. It was renamed to\n%2\nbut the default "
                              "settings could not be put in its place.")
            .arg(shown, QDir::toNativeSeparators(aside));
    }
    return QStringLiteral("The settings file\n%1\ncannot be read. It was renamed to\n%2\nand the default "
                          "settings were put in its place.")
        .arg(shown, QDir::toNativeSeparators(aside));
}

} // namespace

QString PrepareSettingsFile(const QString& templateFile, const QString& settingsFile)
{
    const QFileInfo info(settingsFile);
    if (info.exists() || info.isSymLink()) {
        // Only a regular file is set aside; anything else is left alone.
        if (!info.isFile() || HasRootElement(settingsFile))
            return {};
        return replaceUnusableSettingsFile(templateFile, settingsFile);
    }
    const QString folder = info.absolutePath();
    // The documents folder itself may not exist yet on a new account.
    QDir().mkpath(folder);
    copyTemplate(templateFile, settingsFile);
    return {};
}

bool Main(const QStringList& arguments)
{
    CommandLineText = arguments.mid(1).join(u' ');

    globals.AppFolder = StripTrailingSlash(QCoreApplication::applicationDirPath());
    globals.MyDocsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (globals.MyDocsFolder.isEmpty())
        globals.MyDocsFolder = QDir::homePath();
    globals.SettingsFile = globals.MyDocsFolder + QStringLiteral("/orvenic/vella/Update.xml");
    // A settings file that had to be replaced is reported once the program
    // is up (or, for a second start, before it ends).
    QString settingsNotice;
    IgnoreErrors([&] { settingsNotice = PrepareSettingsFile(globals.AppFolder + QStringLiteral("/Update.xml"), globals.SettingsFile); });
    const auto tellAboutSettings = [&settingsNotice] {
        if (!settingsNotice.isEmpty())
            IgnoreErrors([&] { MsgBox(settingsNotice, vbOKOnly + vbExclamation); });
    };

    IgnoreErrors([] { globals.ExeMsgId = RegisterWindowMessage(QStringLiteral("TesvikexeMsg")); });
    globals.RenewVoice = true;

    if (PreviousInstanceRunning()) {
        // The running instance polls this key and shows its main window.
        globals.IniFile = globals.SettingsFile;
        IgnoreErrors([] { WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("isopened"),
                                       QStringLiteral("111")); });
        tellAboutSettings();
        return false;
    }

    // The word-processor add-in has no counterpart here: nothing to register.

    bool endNow = false;
    IgnoreErrors([&] {
        const QString autoRun = ReadSetting(globals.SettingsFile, QStringLiteral("FrmSet"), QStringLiteral("AutoRun"),
                                            QStringLiteral("True"));
        const std::optional<bool> on = TruthValue(autoRun);
        endNow = CommandLineText == kAutoStartSwitch && on.has_value() && !*on;
    });
    if (endNow)
        return false;

    IgnoreErrors([] {
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            // Width in twips over twips per pixel: the width in pixels.
            globals.ScreenWidthPx = s->size().width();
            globals.ScreenTwipsY = static_cast<std::int32_t>(std::lround(1440.0 / s->logicalDotsPerInchY()));
        }
    });

    QCoreApplication::processEvents();
    // The server-message popup, loaded hidden: it shows or unloads itself
    // when the answer comes, while the controller loads.
    IgnoreErrors([] {
        auto* popup = new frmPopup;
        popup->Form_Load();
        popup->Query();
    });
    QCoreApplication::processEvents();

    StartApplication();
    tellAboutSettings();
    return true;
}

void StartApplication()
{
    globals.IniFile = globals.SettingsFile;
    // The windows the controller opens and closes, then the controller
    // itself: tray icon, hotkeys, speech. Both live as long as the program.
    static AppWindows* windows = nullptr;
    IgnoreErrors([] {
        if (!windows) {
            windows = new AppWindows;
            windows->install();
        }
    });
    IgnoreErrors([] { InstallRichTextPrinting(); });
    IgnoreErrors([] {
        static systemtray* controller = nullptr;
        if (!controller) {
            controller = new systemtray;
            SpeechController::install(controller);
            controller->Form_Load();
        }
    });
    if (CommandLineText == kAutoStartSwitch)
        return; // tray only
    StartFace face = StartFace::Splash;
    IgnoreErrors([&] {
        face = ChooseStartFace(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("StartUp"),
                                           QStringLiteral("2")));
    });
    switch (face) {
    case StartFace::FloatingBar: // the floating bar, shown modeless
        IgnoreErrors([] { ProgramWindows::get().frmDockDemo_Show(); });
        break;
    case StartFace::Splash: // the splash, which leads to the main window
        IgnoreErrors([] {
            if (windows)
                windows->frmSplash_Show();
        });
        break;
    }
}
