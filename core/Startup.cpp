#include "Startup.h"

#include "Globals.h"
#include "IgnoreErrors.h"
#include "SettingsStore.h"
#include "TextHelpers.h"

#include "floatingbar/AppWindows.h"
#include "mainwindow/frmPopup.h"
#include "mainwindow/RichTextPrint.h"
#include "platform/SingleInstance.h"
#include "platform/SystemServices.h"
#include "speech/systemtray.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cmath>

QString CommandLineText;

namespace {
const QString kAutoStartSwitch = QStringLiteral("3250");
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

void PrepareSettingsFile(const QString& templateFile, const QString& settingsFile)
{
    if (QFileInfo::exists(settingsFile))
        return;
    const QString folder = QFileInfo(settingsFile).absolutePath();
    // The documents folder itself may not exist yet on a new account.
    QDir().mkpath(folder);
    if (QFile::copy(templateFile, settingsFile)) {
        // The template may be installed read-only; the user's copy must not be.
        QFile::setPermissions(settingsFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                | QFile::ReadOther);
    }
}

bool Main(const QStringList& arguments)
{
    CommandLineText = arguments.mid(1).join(u' ');

    AppFolder = StripTrailingSlash(QCoreApplication::applicationDirPath());
    MyDocsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (MyDocsFolder.isEmpty())
        MyDocsFolder = QDir::homePath();
    SettingsFile = MyDocsFolder + QStringLiteral("/orvenic/vella/Update.xml");
    IgnoreErrors([] { PrepareSettingsFile(AppFolder + QStringLiteral("/Update.xml"), SettingsFile); });

    IgnoreErrors([] { ExeMsgId = RegisterWindowMessage(QStringLiteral("TesvikexeMsg")); });
    RenewVoice = true;

    if (PreviousInstanceRunning()) {
        // The running instance polls this key and shows its main window.
        IniFile = SettingsFile;
        IgnoreErrors([] { WriteSetting(IniFile, QStringLiteral("ReadSet"), QStringLiteral("isopened"),
                                       QStringLiteral("111")); });
        return false;
    }

    // The word-processor add-in has no counterpart here: nothing to register.

    bool endNow = false;
    IgnoreErrors([&] {
        const QString autoRun = ReadSetting(SettingsFile, QStringLiteral("FrmSet"), QStringLiteral("AutoRun"),
                                            QStringLiteral("True"));
        const std::optional<bool> on = TruthValue(autoRun);
        endNow = CommandLineText == kAutoStartSwitch && on.has_value() && !*on;
    });
    if (endNow)
        return false;

    IgnoreErrors([] {
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            // Width in twips over twips per pixel: the width in pixels.
            ScreenWidthPx = s->size().width();
            ScreenTwipsY = static_cast<std::int32_t>(std::lround(1440.0 / s->logicalDotsPerInchY()));
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
    return true;
}

void StartApplication()
{
    IniFile = SettingsFile;
    // The windows the controller opens and closes, then the controller
    // itself: tray icon, hotkeys, speech. Both live as long as the program.
    static ProgramWindowsImpl* windows = nullptr;
    IgnoreErrors([] {
        if (!windows) {
            windows = new AppWindows;
            ProgramWindows::install(windows);
        }
    });
    IgnoreErrors([] { InstallRichTextPrinting(); });
    IgnoreErrors([] {
        static systemtray* controller = nullptr;
        if (!controller) {
            controller = new systemtray;
            controller->Form_Load();
        }
    });
    if (CommandLineText == kAutoStartSwitch)
        return; // tray only
    StartFace face = StartFace::Splash;
    IgnoreErrors([&] {
        face = ChooseStartFace(ReadSetting(IniFile, QStringLiteral("ReadSet"), QStringLiteral("StartUp"),
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
