// The document window's voice and speed controls, its advert line, the
// bottom buttons, the change tracking and the word-prediction members.
#include "mainwindow/frmDocument.h"

#include "mainwindow/AdList.h"
#include "mainwindow/DocumentHost.h"
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/Skin.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/ServerAddress.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "core/TextHelpers.h"
#include "core/Utilities.h"
#include "speech/SpeechController.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <exception>

namespace {

constexpr int kSpeakerText = 2101; // "Speaker:  "
constexpr int kSpeedText = 2100;   // "Speed:"
constexpr int kProductName = 2205; // "Lectova"

void setStatusPanel(int index, const QString& text)
{
    if (DocumentHost* main = DocumentHost::instance())
        main->setPanelText(index, text);
}

// Runs a handler that has no error handling of its own: what it throws is
// shown to the user instead of ending the program.
template <class F>
void ReportErrors(QWidget* parent, F&& step)
{
    try {
        std::forward<F>(step)();
    } catch (const std::exception& e) {
        MsgBox(QString::fromUtf8(e.what()), vbExclamation, LoadResString(kProductName), parent);
    } catch (...) {
        MsgBox(QStringLiteral("Unexpected error"), vbExclamation, LoadResString(kProductName), parent);
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Voice list

void frmDocument::FillVoiceList()
{
    const QStringList pieces = SpeechController::get().m_GetVoiceDescriptions().split(QLatin1Char(';'));
    // A list being filled selects nothing on its own.
    const bool blocked = VoiceCB->blockSignals(true);
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
        VoiceCB->addItem(pieces.at(i));
    VoiceCB->setCurrentIndex(-1);
    VoiceCB->blockSignals(blocked);
}

// Voice and speed belong to the whole program: another window, a hotkey or
// the settings dialog may have changed them since this window showed them.
void frmDocument::showStoredVoiceAndSpeed()
{
    IgnoreErrors([&] {
        setVoiceListIndex(CInt(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Reader"), QStringLiteral("0"))));
    });
    IgnoreErrors([&] {
        setSpeedValue(CInt(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Speed"), QStringLiteral("0"))));
    });
    IgnoreErrors([&] { setStatusPanel(2, LoadResString(kSpeakerText) + VoiceCB->currentText()); });
    IgnoreErrors([&] { setStatusPanel(3, LoadResString(kSpeedText) + QString::number(cpvSlider1->value())); });
}

void frmDocument::VoiceCB_Click()
{
    if (!LoadingWindow) {
        IgnoreErrors([&] {
            WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Reader"),
                         QString::number(VoiceCB->currentIndex()));
        });
    }
    IgnoreErrors([&] { setStatusPanel(2, LoadResString(kSpeakerText) + VoiceCB->currentText()); });
}

std::int16_t frmDocument::convoice()
{
    static const std::pair<const char*, const char*> kNames[] = {
        {"Paul", "Corvane Paul"},
        {"Kate", "Corvane Kate"},
        {"Crystal", "ATT DTNV 1.4 Crystal16"},
        {"Mike", "ATT DTNV 1.4 Mike16"},
        {"Audrey", "ATT DTNV 1.4 Audrey16"},
        {"Charles", "ATT DTNV 1.4 Charles16"},
    };
    const QString voice = VoiceCB->currentText();
    for (const auto& [shortName, longName] : kNames) {
        if (voice == QLatin1String(shortName)) {
            Combo2->setEditText(QLatin1String(longName));
            break;
        }
    }
    return static_cast<std::int16_t>(Combo2->findText(Combo2->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// ---------------------------------------------------------------------------
// Speed bar

void frmDocument::cpvSlider1_Change()
{
    const QString value = QString::number(cpvSlider1->value());
    IgnoreErrors([&] { WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Speed"), value); });
    IgnoreErrors([&] { setStatusPanel(3, LoadResString(kSpeedText) + value); });
    IgnoreErrors([&] { Lblspeed->setText(value); });
}

void frmDocument::Adjustspeed()
{
    IgnoreErrors([&] {
        setSpeedValue(CInt(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Speed"), QStringLiteral("0"))));
    });
    IgnoreErrors([&] { setStatusPanel(3, LoadResString(kSpeedText) + QString::number(cpvSlider1->value())); });
}

void frmDocument::stopspeaking()
{
    SpeechController::get().stopspeaking();
}

void frmDocument::hearsamles_Click()
{
}

// ---------------------------------------------------------------------------
// Voice pages and samples

void frmDocument::openTryVoicePage()
{
    QString text;
    IgnoreErrors([&] {
        frmDocument* active = nullptr;
        if (DocumentHost* main = DocumentHost::instance())
            active = main->activeDocument();
        text = (active ? active : this)->rtfText->Text();
    });
    IgnoreErrors([&] {
        const QString address = ServerUrl(QStringLiteral("treerss.php?version=96&text=") + URLEncode(TruncateTo500(text)));
        ShellOpen(address, QString());
    });
}

void frmDocument::btnTryVoice_Click()
{
    openTryVoicePage();
}

void frmDocument::CmdMoreVoice_Click()
{
    openTryVoicePage();
}

void frmDocument::BtnVoiceSample_Click()
{
    IgnoreErrors([] { ProgramWindows::get().frmListen_Show(QStringLiteral("Paul Voice")); });
}

void frmDocument::CmdFemaleVoice_Click()
{
    ReportErrors(this, [] { ProgramWindows::get().frmListen_Show(QStringLiteral("Kate Voice")); });
}

// ---------------------------------------------------------------------------
// Advert line

void frmDocument::loadAdverts()
{
    LoadAdList();
    if (adverts.AdCount > 0) {
        // A list that became shorter than the entry shown starts again.
        if (adverts.AdIndex < 0 || adverts.AdIndex >= adverts.AdCount)
            adverts.AdIndex = 0;
        lblAd->setText(adverts.AdList.value(2 * adverts.AdIndex));
    }
}

void frmDocument::Timer2_Timer()
{
    ReportErrors(this, [&] {
        if (adverts.AdCount > 0) {
            if (adverts.AdIndex + 1 >= adverts.AdCount)
                adverts.AdIndex = -1;
            ++adverts.AdIndex;
            lblAd->setText(adverts.AdList.value(2 * adverts.AdIndex));
        }
    });
    Timer2->stop();
}

void frmDocument::tmrAd_Timer()
{
    Timer2->start();
}

void frmDocument::lblAd_Click()
{
    if (adverts.AdIndex < 0 || adverts.AdIndex >= adverts.AdCount)
        return;
    const QString link = adverts.AdList.value(2 * adverts.AdIndex + 1);
    if (link.isEmpty())
        return;
    ShellOpenWithMessage(link, QString());
}

// ---------------------------------------------------------------------------
// Remaining handlers

void frmDocument::Btndictate_Click()
{
    IgnoreErrors([&] {
        rtfText->setFocus();
        rtfText->setSelLength(0);
    });
    IgnoreErrors([&] {
        const QString caption = windowTitle();
        if (caption == globals.AppFolder + QStringLiteral("\\first.txt") || caption == globals.AppFolder + QStringLiteral("/first.txt"))
            rtfText->setText(QString());
    });
}

void frmDocument::btnBBC_Click()
{
    IgnoreErrors([] { ShellOpen(ServerUrl(QStringLiteral("/bbcshow.html")), QString()); });
}

void frmDocument::Btnminibar_Click()
{
    ReportErrors(this, [] { SpeechController::get().mnuTrayShowDock_Click(); });
}

void frmDocument::Command4_Click()
{
    IgnoreErrors([] { SpeechController::get().mnuTrayShowSoftware_Click(); });
    IgnoreErrors([] { ProgramWindows::get().frmMain_Unload(); });
}

void frmDocument::helpbtn_Click()
{
    IgnoreErrors([&] { StopBtn_Click(); });
    IgnoreErrors([] {
        const QString program = FindProgramFile(QStringLiteral("\\fscommand\\TTS.exe"));
        if (!program.isEmpty())
            QProcess::startDetached(program, {});
    });
}

void frmDocument::NextBtn_Click()
{
    if (readingState.PunctuationMode() == 1)
        return;
    ReportErrors(this, [&] { SpeakNext(); });
}

void frmDocument::PauseBtn_Click()
{
    IgnoreErrors([] { SpeechController::get().PauseSpeaking(); });
}

void frmDocument::rtfText_Change()
{
    if (readingState.IsSpeaking())
        return;
    if (documentTable.IgnoreNextChange) {
        documentTable.IgnoreNextChange = false;
        return;
    }
    IgnoreErrors([&] { documentTable.DocChanged.at(SlotOf(this)) = true; });
}

void frmDocument::ReadClipboardtoFile_Click()
{
}

void frmDocument::EmptyPrivateSub(const QString& /*first*/, const QString& /*second*/)
{
}

QString frmDocument::GetParentPath(const QString& path)
{
    qsizetype cut = path.lastIndexOf(QLatin1Char('\\'));
    if (cut < 0)
        cut = path.lastIndexOf(QLatin1Char('/'));
    if (cut < 0)
        return QStringLiteral("C:\\");
    return path.left(cut + 1);
}

void ShowLineNumber()
{
    DocumentHost* main = DocumentHost::instance();
    if (!main)
        return;
    frmDocument* doc = main->activeDocument();
    if (!doc || !doc->rtfText)
        return;
    int line = 0;
    const int caret = doc->rtfText->SelStart();
    if (caret > 0)
        line = doc->rtfText->GetLineFromChar(caret);
    main->setPanelText(QStringLiteral("Text"), LoadResString(2206) + QString::number(line + 1));
}
