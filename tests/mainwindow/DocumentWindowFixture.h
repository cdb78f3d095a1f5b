#pragma once
// Fixture of the document-window tests: a scripted speech engine, a
// temporary settings file and program folder, the document table reset,
// message boxes, file dialogs and the program's other windows answered or
// recorded by the test.
#include "support/ScriptedSpeechVoice.h"

#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "mainwindow/AdList.h"
#include "mainwindow/CommonDialog.h"
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/Skin.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmMain.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"
#include "support/FileWait.h"
#include "support/ReadingReset.h"
#include "support/IsolatedSettings.h"
#include "support/RecordingWindows.h"
#include "support/TestFaces.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

// Reaches the window's private members.
struct DocumentWindowTestAccess {
    static bool& LoadingWindow(frmDocument& d) { return d.LoadingWindow; }
    static QString GetParentPath(frmDocument& d, const QString& p) { return d.GetParentPath(p); }
    static void GetSelRange(frmDocument& d) { d.GetSelRange(); }
    static std::int32_t& SpellStart(frmDocument& d) { return d.SpellStart; }
    static std::int32_t& SpellEnd(frmDocument& d) { return d.SpellEnd; }
    static void ShowSpellCheckResult(frmDocument& d, std::int16_t cancelled) { d.ShowSpellCheckResult(cancelled); }
    static QString GetLastWord(frmDocument& d, RichTextBox* box) { return d.GetLastWord(box); }
    static QString GetWordPrefix(frmDocument& d) { return d.GetWordPrefix(); }
    static QString GetPhrasePrefix(frmDocument& d) { return d.GetPhrasePrefix(); }
    static std::int32_t PrefixCaretPos(frmDocument& d) { return d.PrefixCaretPos; }
    static void SetEchoMode(frmDocument& d) { d.SetEchoMode(); }
};
using Access = DocumentWindowTestAccess;

inline void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class DocumentWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        isolated.isolateDataAndWeb("http://tts.test/");
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
        windows.onListen = [this](const QString& voicename) {
            if (voicename == failListenFor)
                throw std::runtime_error("no sample window");
        };
        windows.onSettings = [this] { stoppedBeforeSettings = readingState.StopRequested(); };

        resetReadingState();
        readingState.goIdle();
        resetTable();
        adverts.AdList.clear();
        adverts.AdCount = 0;
        adverts.AdIndex = 0;

        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            boxes.append(call);
            return answer;
        });
        SetCommonDialogAnswerer([this](CommonDialog& d, CommonDialog::Kind) {
            ++dialogs;
            d.FileName = saveAsName;
        });
        ProgramWindows::install(&windows);

        engine.voices = {ScriptedSpeechEngine::voice("a", "Alpha"), ScriptedSpeechEngine::voice("b", "Beta"),
                         ScriptedSpeechEngine::voice("c", "Gamma")};
        tray = std::make_unique<systemtray>();
        SpeechController::install(tray.get());
        tray->voiceDescriptions = "Alpha;Beta;Gamma;";
        readingState.requestStop();
    }

    void TearDown() override
    {
        for (const QPointer<frmDocument>& d : docs)
            delete d.data();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        tray.reset();
        ProgramWindows::install(nullptr);
        SetMsgBoxAnswerer({});
        SetCommonDialogAnswerer({});
        resetTable();
        readingState.reset();
        faces.main = nullptr;
        faces.document = {};
    }

    static void resetTable()
    {
        documentTable = DocumentTable();
    }

    void setting(const char* section, const char* key, const QString& value)
    {
        WriteSetting(globals.IniFile, QLatin1String(section), QLatin1String(key), value);
    }
    QString stored(const char* section, const char* key)
    {
        return ReadSetting(globals.IniFile, QLatin1String(section), QLatin1String(key), QStringLiteral("<none>"));
    }

    // A document window on its own, deleted by the test.
    frmDocument* newDocument(int slot = 0)
    {
        auto* d = new frmDocument;
        docs.append(d);
        if (slot > 0)
            d->setTag(QString::number(slot));
        return d;
    }

    frmMain& mainWindow()
    {
        if (!main)
            main = std::make_unique<frmMain>();
        return *main;
    }

    // The main window as the reading state's face, with its active document.
    void makeFace(frmMain& m)
    {
        faces.main = &m;
        faces.document = [&m]() -> ActiveDocument* { return m.activeDocument(); };
    }

    // A document window made by the main window's New.
    frmDocument* newInMain()
    {
        mainWindow().mnuFileNew_Click();
        return mainWindow().activeDocument();
    }

    static QMdiSubWindow* frameOf(frmDocument* d) { return qobject_cast<QMdiSubWindow*>(d->parentWidget()); }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // A program folder of the test's own, with the string table.
    QString ownProgramFolder()
    {
        const QString folder = dir.filePath("program");
        QDir().mkpath(folder);
        QFile::copy(qEnvironmentVariable("TAMSEL_PROGRAM_DIR") + "/strings.txt", folder + "/strings.txt");
        globals.AppFolder = folder;
        return folder;
    }

    // A web-browser stand-in that writes the address it is given to a file.
    QString installBrowser()
    {
        const QString marker = dir.filePath("opened");
        const QString script = dir.filePath("browser.sh");
        writeFile(script, ("#!/bin/sh\necho \"$1\" > '" + marker + "'\n").toUtf8(), true);
        writeFile(isolated.dataHome() + "/applications/tamsel-test-browser.desktop",
                  ("[Desktop Entry]\nType=Application\nName=Test browser\nExec=" + script
                   + " %u\nMimeType=x-scheme-handler/http;\n")
                      .toUtf8());
        writeFile(isolated.configHome() + "/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/http=tamsel-test-browser.desktop\n");
        // Without a display the desktop's opener asks $BROWSER instead.
        qputenv("BROWSER", script.toUtf8());
        return marker;
    }

    IsolatedSettings isolated{"<Settings><ReadSet/><FrmSet/></Settings>"};
    QTemporaryDir& dir = isolated.dir;
    ScriptedSpeechEngine engine;
    std::unique_ptr<systemtray> tray;
    TestFaces faces;
    std::unique_ptr<frmMain> main;
    QList<QPointer<frmDocument>> docs;
    // The windows the document window opens; the sample window of the voice
    // named in failListenFor cannot be made; whether a reading had been
    // stopped when the settings dialog last came.
    RecordingWindows<> windows;
    QString failListenFor;
    bool stoppedBeforeSettings = false;
    QList<MsgBoxCall> boxes;
    int answer = vbNo;
    QString saveAsName;
    int dialogs = 0;
};

