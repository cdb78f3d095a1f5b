// The document window: its load, activation, re-skinning and close, and
// the controls the reading state and the controller set by name.
#include "mainwindow/frmDocument.h"

#include "mainwindow/CommonDialog.h"
#include "mainwindow/DocumentHost.h"
#include "mainwindow/DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/Skin.h"
#include "mainwindow/frmDocument_p.h"

#include "core/Conversions.h"
#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "platform/SystemServices.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>

#include <stdexcept>
#include <utility>

namespace {

constexpr int kSpeakerText = 2101;   // "Speaker:  "
constexpr int kSpeedText = 2100;     // "Speed:"
constexpr int kSaveQuestion = 2102;  // "This document has been changed, do you wish to save?"
constexpr int kProductName = 2205;   // "Lectova"

// The Shift argument of the mouse handlers: 1 Shift, 2 Ctrl, 4 Alt.
int modifierBits(Qt::KeyboardModifiers modifiers)
{
    return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0)
        | ((modifiers & Qt::AltModifier) ? 4 : 0);
}

} // namespace

using namespace docwin;

// ---------------------------------------------------------------------------
// Construction

frmDocument::frmDocument(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("Tag", QString());
    buildControls();
    Form_Load();
}

frmDocument::~frmDocument()
{
    // Once the window and its text are gone (its controls go after this
    // body), what they held goes back to the system; windows closed
    // together share one pass.
    static bool pending = false;
    if (pending || !QCoreApplication::instance())
        return;
    pending = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        pending = false;
        ReturnFreedMemory();
    });
}

QString frmDocument::Tag() const
{
    return property("Tag").toString();
}

void frmDocument::setTag(const QString& tag)
{
    setProperty("Tag", tag);
}

// ---------------------------------------------------------------------------
// Load

void frmDocument::Form_Load()
{
    IgnoreErrors([&] { lblAd->hide(); });
    LoadingWindow = true;
    IgnoreErrors([&] {
        readingState.usePunctuationMode(CLng(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"),
                                                         QStringLiteral("PunctuationTag"), QStringLiteral("0"))));
    });
    predictionState.PredictionPage = 0;
    IgnoreErrors([&] {
        FillVoiceList();
        if (VoiceCB->currentText().isEmpty() && VoiceCB->count() > 0)
            VoiceCB->setCurrentIndex(0);
    });
    IgnoreErrors([&] { Lblspeed->setText(QString::number(cpvSlider1->value())); });
    IgnoreErrors([&] { SetSpeakingState(false, false); });
    // That set the active window's buttons; this one is not active yet and
    // has nothing to stop either.
    IgnoreErrors([&] { StopBtn->setEnabled(false); });
    view_status = 1;
    IgnoreErrors([&] {
        if (DocumentHost* main = DocumentHost::instance()) {
            main->setPanelText(2, LoadResString(kSpeakerText) + VoiceCB->currentText());
            main->setPanelText(3, LoadResString(kSpeedText) + QString::number(cpvSlider1->value()));
        }
    });
    documentTable.IgnoreNextChange = true;
    IgnoreErrors([&] { LoadFormStrings(this); });
    IgnoreErrors([&] { toolbarchange(); });
    // The selection keeps its colour while another window has the focus.
    IgnoreErrors([&] {
        QPalette p = rtfText->palette();
        for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
            p.setBrush(QPalette::Inactive, role, p.brush(QPalette::Active, role));
        rtfText->setPalette(p);
    });
    IgnoreErrors([&] { LoadSkin(); });
    applyLoadSkins();
    IgnoreErrors([&] {
        NextBtn->setEnabled(false);
        PriewBtn->setEnabled(false);
    });
    IgnoreErrors([&] { documentTable.DocChanged.at(SlotOf(this)) = false; });
    LoadingWindow = false;
    IgnoreErrors([&] { loadAdverts(); });
    for (QWidget* w : {static_cast<QWidget*>(SpeakBtn), static_cast<QWidget*>(PriewBtn),
                       static_cast<QWidget*>(StopBtn), static_cast<QWidget*>(NextBtn),
                       static_cast<QWidget*>(PauseBtn), static_cast<QWidget*>(ResumeBtn),
                       static_cast<QWidget*>(BtnVoiceSample), static_cast<QWidget*>(CmdFemaleVoice),
                       static_cast<QWidget*>(CmdMoreVoice), static_cast<QWidget*>(Btnminibar),
                       static_cast<QWidget*>(ImgMidtop), static_cast<QWidget*>(ImgMidBtm),
                       static_cast<QWidget*>(ImgLeftMId), static_cast<QWidget*>(ImgrightMid)})
        IgnoreErrors([&] { ScaleToDpi(w); });
}

// Loads a skin file of the program folder into its skin; false when the
// file is missing or unreadable.
static bool loadSkinFile(std::unique_ptr<Skin>& skin, const char* file)
{
    if (!skin)
        skin = std::make_unique<Skin>();
    return skin->LoadSkin(globals.AppFolder + QLatin1String(file));
}

// Gives a button its skin. A skin that draws a picture replaces the
// caption; a text skin, or none, leaves the button saying what it does.
static void skinButton(const Skin* skin, QPushButton* button, const QString& caption)
{
    const bool loaded = skin && skin->IsLoaded();
    if (loaded)
        skin->ApplySkin(button);
    const bool picture = loaded && skin->StyleSheet().contains(QLatin1String("image:"));
    button->setText(picture ? QString() : caption);
}

void frmDocument::applyLoadSkins()
{
    IgnoreErrors([&] {
        for (QPushButton* row : Command6)
            skinButton(Skin2.get(), row, QStringLiteral(">"));
    });
    IgnoreErrors([&] { skinButton(Skin3.get(), Command7, QStringLiteral("<")); });
    IgnoreErrors([&] { skinButton(Skin4.get(), Command8, QStringLiteral(">")); });
    IgnoreErrors([&] { skinButton(Skin5.get(), Btnminibar, QStringLiteral("Floating bar")); });
    IgnoreErrors([&] { skinButton(Skin6.get(), CmdMoreVoice, QStringLiteral("More voices")); });
    IgnoreErrors([&] { skinButton(Skin7.get(), btnBBC, QStringLiteral("News")); });
    IgnoreErrors([&] {
        skinButton(SkinPlay.get(), SpeakBtn, QStringLiteral("Speak"));
        skinButton(SkinPlay.get(), ResumeBtn, QStringLiteral("Resume"));
    });
    IgnoreErrors([&] { skinButton(SkinPause.get(), PauseBtn, QStringLiteral("Pause")); });
    IgnoreErrors([&] { skinButton(SkinStop.get(), StopBtn, QStringLiteral("Stop")); });
    IgnoreErrors([&] { skinButton(SkinN.get(), NextBtn, QStringLiteral("Next")); });
    IgnoreErrors([&] { skinButton(SkinP.get(), PriewBtn, QStringLiteral("Previous")); });
    IgnoreErrors([&] { skinButton(Skin9.get(), btnTryVoice, QStringLiteral("Try it")); });
}

void frmDocument::LoadSkin()
{
    IgnoreErrors([&] {
        rtfText->setBackColor(static_cast<std::uint32_t>(
            CLng(ReadSetting(globals.IniFile, QStringLiteral("FrmSet"), QStringLiteral("BColor"), QStringLiteral("16777215")))));
    });
    IgnoreErrors([&] {
        setVoiceListIndex(CInt(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Reader"), QStringLiteral("0"))));
    });
    IgnoreErrors([&] {
        setSpeedValue(CInt(ReadSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Speed"), QStringLiteral("0"))));
    });

    const int slot = SlotOf(this);
    const bool changed = documentTable.DocChanged.at(slot);
    // The whole text takes the configured look, each value on its own (one
    // that cannot be read leaves that part as it is). It is given in one
    // change without selecting the text: selecting all of a long text, and
    // each further change of it, would lay it all out again at once.
    auto frmSet = [](const char* key, const char* def) {
        return ReadSetting(globals.IniFile, QStringLiteral("FrmSet"), QLatin1String(key), QLatin1String(def));
    };
    RichTextBox::FontAndColor look;
    IgnoreErrors([&] { look.color = static_cast<std::uint32_t>(CLng(frmSet("Color", "0"))); });
    IgnoreErrors([&] { look.fontName = frmSet("FontName", "Arial"); });
    IgnoreErrors([&] { look.fontSize = TextToDouble(frmSet("FontSize", "12")); });
    IgnoreErrors([&] { look.bold = TextToBool(frmSet("FontBold", "True")); });
    IgnoreErrors([&] { look.italic = TextToBool(frmSet("FontItalic", "True")); });
    IgnoreErrors([&] { look.strikeThru = TextToBool(frmSet("FontStrikethru", "True")); });
    IgnoreErrors([&] { look.underline = TextToBool(frmSet("FontUnderline", "True")); });
    IgnoreErrors([&] { rtfText->SetFontAndColor(look); });
    documentTable.DocChanged.at(slot) = changed;

    IgnoreErrors([&] {
        if (loadSkinFile(Skin1, "\\button.skn"))
            Skin1->ApplySkin(KeyPressbtn);
    });
    IgnoreErrors([&] {
        if (loadSkinFile(SkinSampleF, "\\kate.skn"))
            skinButton(SkinSampleF.get(), CmdFemaleVoice, QStringLiteral("Kate"));
    });
    IgnoreErrors([&] {
        if (loadSkinFile(SkinSampleM, "\\paul.skn"))
            skinButton(SkinSampleM.get(), BtnVoiceSample, QStringLiteral("Paul"));
    });
    IgnoreErrors([&] { loadSkinFile(Skin2, "\\labaicon.skn"); });
    IgnoreErrors([&] { loadSkinFile(Skin3, "\\previewL.skn"); });
    IgnoreErrors([&] { loadSkinFile(Skin4, "\\previewR.skn"); });
    IgnoreErrors([&] { loadSkinFile(Skin5, "\\Miniboard.skn"); });
    IgnoreErrors([&] { loadSkinFile(Skin6, "\\more.skn"); });
    IgnoreErrors([&] { loadSkinFile(Skin7, "\\BBC.skn"); });
    IgnoreErrors([&] { loadSkinFile(SkinPlay, "\\mainplay.skn"); });
    IgnoreErrors([&] { loadSkinFile(SkinPause, "\\pause.skn"); });
    IgnoreErrors([&] { loadSkinFile(SkinStop, "\\mainstop.skn"); });
    IgnoreErrors([&] { loadSkinFile(SkinN, "\\next.skn"); });
    IgnoreErrors([&] { loadSkinFile(SkinP, "\\previous.skn"); });
    IgnoreErrors([&] { loadSkinFile(Skin9, "\\tryit.skn"); });

    IgnoreErrors([&] {
        rtfText->setSelStart(0);
        rtfText->setSelLength(0);
    });
}

void frmDocument::ApplySettings(bool typingEcho, bool wordPrediction)
{
    KeyPressbtn->setText(typingEcho ? QStringLiteral("Disable Typing Echo") : QStringLiteral("Enable Typing Echo"));
    if (Skin1)
        Skin1->ApplySkin(KeyPressbtn);
    QCoreApplication::processEvents();
    if (typingEcho) {
        const std::pair<QCheckBox*, const char*> boxes[] = {
            {ChkLetter, "READ_LETTER"}, {ChkWord, "READ_WORD"}, {ChkSentence, "READ_SENTENCE"}};
        for (const auto& [box, key] : boxes) {
            const QString stored =
                ReadSetting(globals.SettingsFile, QStringLiteral("ReadSet"), QLatin1String(key), QStringLiteral("0"));
            try {
                box->setChecked(RoundedInt(stored) != 0);
            } catch (const std::invalid_argument&) {
                throw std::invalid_argument(QStringLiteral("ReadSet/%1 holds \"%2\", which is not a number.")
                                                .arg(QLatin1String(key), stored)
                                                .toStdString());
            }
        }
    }
    PicEchoOptions->setVisible(typingEcho);
    WriteSetting(globals.SettingsFile, QStringLiteral("FrmSet"), QStringLiteral("WordPrediction"),
                 wordPrediction ? QStringLiteral("True") : QStringLiteral("False"));
    // The word-prediction button shows whether prediction is on.
    setToolbarImage(22, wordPrediction ? 16 : 17);
    predictionState.WordPredictionOn = wordPrediction;
    LoadSkin();
    toolbarchange();
    control_pos();
}

// ---------------------------------------------------------------------------
// Activation

void frmDocument::Form_Activate()
{
    IgnoreErrors([&] { setWindowIcon(LoadResIcon(101)); });
    IgnoreErrors([] { ShowLineNumber(); });
    IgnoreErrors([&] { showStoredVoiceAndSpeed(); });
    documentTable.ClosingDocument = false;
    readingState.goIdle();
    IgnoreErrors([] {
        if (DocumentHost* main = DocumentHost::instance())
            main->setmenu();
    });
    IgnoreErrors([&] {
        if (windowTitle().left(8) != QLatin1String("Document")) {
            if (DocumentHost* main = DocumentHost::instance())
                main->commonDialog().FileName = windowTitle();
        }
    });
}

void frmDocument::Form_Resize()
{
    control_pos();
}

void frmDocument::Play_Click()
{
}

// ---------------------------------------------------------------------------
// Close

// Makes this window the active child, so that the main window's Save and
// Save As work on it.
void frmDocument::makeActiveChild()
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            if (QMdiArea* area = sub->mdiArea())
                area->setActiveSubWindow(sub);
            return;
        }
    }
}

void frmDocument::releaseSlot(int slot)
{
    if (slot < 1 || slot > kMaxDocuments)
        return;
    documentTable.Documents[slot] = nullptr;
    documentTable.DocSlotUsed[slot] = false;
}

void frmDocument::Form_Unload(int& Cancel)
{
    unloading_ = true;
    IgnoreErrors([&] { StopBtn_Click(); });
    unloading_ = false;

    const int slot = SlotOf(this);
    // A window that never received a slot was never counted.
    const bool counted = slot >= 1 && slot <= kMaxDocuments;
    if (!counted || rtfText->Fingerprint() == documentTable.DocSavedText.at(slot)) {
        if (counted) {
            releaseSlot(slot);
            --documentTable.DocCount;
        }
    } else {
        makeActiveChild();
        const int answer = MsgBox(LoadResString(kSaveQuestion), vbYesNo + vbQuestion, LoadResString(kProductName), this);
        if (answer == vbYes) {
            const std::int16_t countBefore = documentTable.DocCount;
            documentTable.ClosingDocument = true;
            IgnoreErrors([&] {
                DocumentHost* main = DocumentHost::instance();
                if (!main)
                    return;
                if (windowTitle().left(8) != QLatin1String("Document") || documentTable.DocSaveAsName.at(slot).isEmpty())
                    main->mnuFileSave_Click();
                else
                    main->mnuFileSaveAs_Click();
            });
            documentTable.ClosingDocument = false;
            // The save counts only when the stored text is now the text on
            // the screen; a cancelled or failed save keeps the window open
            // with its text, its slot and its place in the count.
            const bool saved = documentTable.DocSavedText.at(slot) == rtfText->Fingerprint();
            documentTable.DocCount = saved ? static_cast<std::int16_t>(countBefore - 1) : countBefore;
            if (saved)
                releaseSlot(slot);
            else
                Cancel = 1;
        } else if (answer == vbNo) {
            releaseSlot(slot);
            --documentTable.DocCount;
        } else {
            // The question closed without an answer (Escape, its close
            // box, the program leaving it): nothing is discarded.
            Cancel = 1;
        }
        IgnoreErrors([] {
            if (DocumentHost* main = DocumentHost::instance())
                main->setmenu();
        });
    }

    view_status = 1;
    IgnoreErrors([&] {
        WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Reader"), QString::number(VoiceCB->currentIndex()));
    });
    IgnoreErrors([&] {
        WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("Speed"), QString::number(cpvSlider1->value()));
    });
}

void frmDocument::closeEvent(QCloseEvent* event)
{
    if (unloaded_) {
        event->accept();
        return;
    }
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    unloaded_ = true;
    event->accept();
}

void frmDocument::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Aligned to the top, and the frame layer under everything.
    IgnoreErrors([&] { tbToolBar->setGeometry(0, 0, width(), tbToolBar->height()); });
    frameLayer_->setGeometry(0, 0, width(), height());
    Form_Resize();
}

bool frmDocument::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type == QEvent::ContextMenu && rtfText && (watched == rtfText || watched == rtfText->viewport())) {
        // The right button's release, as the window sees it: the program's
        // own menu (not the control's) or, while reading, none.
        auto* ce = static_cast<QContextMenuEvent*>(event);
        const QPoint at = rtfText->mapFromGlobal(ce->globalPos());
        const int shift = modifierBits(ce->modifiers());
        IgnoreErrors([&] { rtfText_MouseUp(2, shift, at.x(), at.y()); });
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    auto* me = static_cast<QMouseEvent*>(event);
    if (rtfText && watched == rtfText->viewport()) {
        const int button = me->button() == Qt::LeftButton    ? 1
                           : me->button() == Qt::RightButton ? 2
                           : me->button() == Qt::MiddleButton ? 4
                                                              : 0;
        const int shift = modifierBits(me->modifiers());
        const QPoint at = me->position().toPoint();
        // The control handles the press first (the caret moves), then the
        // window's handlers run. The right button's release comes as the
        // context-menu event above.
        if (type == QEvent::MouseButtonPress) {
            QTimer::singleShot(0, this, [this, button, shift, at] {
                IgnoreErrors([&] { rtfText_MouseDown(button, shift, at.x(), at.y()); });
            });
        } else if (type == QEvent::MouseButtonRelease && button != 2) {
            QTimer::singleShot(0, this, [this, button, shift, at] {
                IgnoreErrors([&] { rtfText_MouseUp(button, shift, at.x(), at.y()); });
            });
        }
        return false;
    }
    if (watched == lblAd && type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
        lblAd_Click();
        return true;
    }
    for (int i = 0; i < 10; ++i) {
        if (watched == Label1[i] && me->button() == Qt::LeftButton) {
            if (type == QEvent::MouseButtonRelease)
                Label1_Click(i);
            else if (type == QEvent::MouseButtonDblClick)
                Label1_DblClick(i);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// The controller's and the reading state's view of the window

void frmDocument::setNextBtnEnabled(bool enabled)
{
    NextBtn->setEnabled(enabled);
}

void frmDocument::setPriewBtnEnabled(bool enabled)
{
    PriewBtn->setEnabled(enabled);
}

void frmDocument::setPauseBtnEnabled(bool enabled)
{
    PauseBtn->setEnabled(enabled);
}

void frmDocument::rtfSetSelStart(int position)
{
    rtfText->setSelStart(position);
}

void frmDocument::rtfSetSelLength(int length)
{
    rtfText->setSelLength(length);
}

void frmDocument::rtfSetFocus()
{
    rtfText->setFocus();
}

// The bar refuses values outside its range and keeps its own; a new value
// runs the change handler.
void frmDocument::setSpeedValue(int value)
{
    if (value < cpvSlider1->minimum() || value > cpvSlider1->maximum())
        throw std::out_of_range("Invalid property value");
    cpvSlider1->setValue(value);
}

// The list refuses an index it does not hold; -1 selects nothing. A new
// index runs the click handler.
void frmDocument::setVoiceListIndex(int index)
{
    if (index < -1 || index >= VoiceCB->count())
        throw std::out_of_range("Invalid property value");
    VoiceCB->setCurrentIndex(index);
}

QWidget* frmDocument::control(DocumentControl which) const
{
    switch (which) {
    case DocumentControl::tbToolBar:
        return tbToolBar;
    case DocumentControl::SpeakBtn:
        return SpeakBtn;
    case DocumentControl::StopBtn:
        return StopBtn;
    case DocumentControl::PauseBtn:
        return PauseBtn;
    case DocumentControl::ResumeBtn:
        return ResumeBtn;
    case DocumentControl::VoiceCB:
        return VoiceCB;
    case DocumentControl::cpvSlider1:
        return cpvSlider1;
    case DocumentControl::NextBtn:
        return NextBtn;
    case DocumentControl::PriewBtn:
        return PriewBtn;
    }
    return nullptr;
}

void frmDocument::setControlEnabled(DocumentControl which, bool enabled)
{
    if (QWidget* w = control(which))
        w->setEnabled(enabled);
}

void frmDocument::setControlVisible(DocumentControl which, bool visible)
{
    if (QWidget* w = control(which))
        w->setVisible(visible);
}

void frmDocument::setToolbarButtonEnabled(int index, bool enabled)
{
    if (QAction* a = toolbarButton(index))
        a->setEnabled(enabled);
}
