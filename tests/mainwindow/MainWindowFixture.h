#pragma once
// A main window in a throw-away settings file, with the message boxes and
// the common dialog answered by the test.

#include "app/AppWindows.h"
#include "core/Globals.h"
#include "core/MessageBox.h"
#include "mainwindow/CommonDialog.h"
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/frmDocument.h"
#include "mainwindow/frmMain.h"
#include "speech/FaceSwitch.h"
#include "speech/ReadingState.h"
#include "support/IsolatedSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// Empties the document table, as at program start.
inline void ResetDocumentTable()
{
    documentTable = DocumentTable();
}

inline QString ProgramDir()
{
    return qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
}

inline bool PutFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(bytes) == bytes.size();
}

inline QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsFixture : public ::testing::Test {
protected:
    IsolatedSettings isolated{"<Settings><ReadSet></ReadSet><FrmSet></FrmSet></Settings>"};

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(isolated.file));
        ASSERT_FALSE(ProgramDir().isEmpty()) << "TAMSEL_PROGRAM_DIR must name the program folder";
        globals.AppFolder = ProgramDir();
        globals.SettingsFile = isolated.file;
    }

    // A file of the test's own, beside the settings file.
    QString path(const QString& name) const { return isolated.dir.filePath(name); }
};

class MainWindowFixture : public SettingsFixture {
protected:
    frmMain* main = nullptr;
    // The program's faces: the loaded main window and its active document.
    AppWindows faces;
    // Every message box shown, and the answer each one gets.
    std::vector<MsgBoxCall> boxes;
    std::function<int(const MsgBoxCall&)> answer = [](const MsgBoxCall&) { return int(vbOK); };
    // What the common dialog answers, one entry per use ("" cancels), and
    // which dialogs were shown.
    std::deque<QString> fileAnswers;
    std::vector<CommonDialog::Kind> dialogs;

    void SetUp() override
    {
        SettingsFixture::SetUp();
        ReadingFaces::install(&faces);
        ResetDocumentTable();
        readingState.reset();
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            boxes.push_back(call);
            return answer(call);
        });
        SetCommonDialogAnswerer([this](CommonDialog& d, CommonDialog::Kind kind) {
            dialogs.push_back(kind);
            if (kind == CommonDialog::Font)
                return;
            if (fileAnswers.empty()) {
                ADD_FAILURE() << "a file dialog was not expected";
                return;
            }
            d.FileName = fileAnswers.front();
            fileAnswers.pop_front();
        });
    }

    void TearDown() override
    {
        delete main;
        main = nullptr;
        ReadingFaces::install(nullptr);
        ResetDocumentTable();
        FaceSwitch::mainWindowShown(false);
        FaceSwitch::floatingBarShown(false);
        SetMsgBoxAnswerer({});
        SetCommonDialogAnswerer({});
    }

    // A loaded main window (with the welcome document).
    void LoadMain()
    {
        main = new frmMain;
        main->MDIForm_Load();
    }

    // A main window without its load: no documents.
    void MakeMain() { main = new frmMain; }

    frmDocument* Active() const { return main->activeDocument(); }
    int ActiveSlot() const { return SlotOf(Active()); }
    QString ActiveText() const { return Active() ? Active()->rtfText->Text() : QString(); }

    // Types into the active document as the user would (a real edit).
    void Type(const QString& text)
    {
        RichTextBox* rtf = Active()->rtfText;
        rtf->setSelStart(rtf->TextLength());
        rtf->insertPlainText(text);
        QCoreApplication::processEvents();
    }

    int OpenDocumentWindows() const
    {
        int n = 0;
        for (QMdiSubWindow* w : main->mdiArea->subWindowList())
            if (!w->isHidden())
                ++n;
        return n;
    }

    int BoxesWith(const QString& fragment) const
    {
        int n = 0;
        for (const MsgBoxCall& b : boxes)
            if (b.prompt.contains(fragment))
                ++n;
        return n;
    }
};
