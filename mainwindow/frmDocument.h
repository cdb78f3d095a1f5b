#pragma once
// The document window: a child of the main window that holds one document
// in its rich-text control rtfText, with the transport buttons, the voice
// list and speed bar, its own toolbar, the word-prediction rows, the advert
// line and the skinned frame pictures.
//
// The constructor builds the controls and runs Form_Load. The creator then
// gives the window its slot number (setTag), caption and text, and shows it
// as a child of the main window. The main window calls Form_Activate when
// the window becomes its active child; closing the window runs Form_Unload.
//
// Sizes and positions of the layout are in twips (1/1440 inch) and are
// turned into pixels for the screen the window is on.
//
// The reading members (the block marked "Reading") live in
// frmDocument_reading.cpp and hand the sentence stepping to DocumentReader, the word-prediction rows and typing echo in
// frmDocument_prediction.cpp; the rest in frmDocument.cpp,
// frmDocument_build.cpp, frmDocument_controls.cpp and frmDocument_layout.cpp.

#include "mainwindow/DocumentReader.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/WordPrediction.h"
#include "speech/ActiveDocument.h"
#include "speech/ReadingState.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;
class QToolBar;
class RichTextBox;
class Skin;

// Word prediction and typing echo, shared by every document window.
struct PredictionState {
    std::int32_t PredictionPage = 0; // page shown; 0 when a window loads
    QString TypedFragment;           // typed beginning of the word; nothing writes it
    // The two word lists of the suggestions with their letter indexes; the
    // first list is paged first, the second fills the rows it leaves empty.
    // Nothing fills them.
    PredictionWordList PredictionList1;
    PredictionLetterIndex PredictionIndex1;
    PredictionWordList PredictionList2;
    PredictionLetterIndex PredictionIndex2;
    // Typing-echo flags (0 or 1) and the mode combined from them.
    std::int16_t EchoOption1 = 0;
    std::int16_t EchoOption2 = 0;
    std::int16_t EchoOption3 = 0;
    std::int16_t EchoMode = 0;
    // Mirrors FrmSet/WordPrediction; nothing reads it.
    bool WordPredictionOn = false;
};

extern PredictionState predictionState;

// "Line Number: n" of the active document's caret in the status bar.
void ShowLineNumber();

// Colours of the prediction rows (COLORREF).
constexpr std::uint32_t kPredictionRowColor = 0xC0FFFF;
constexpr std::uint32_t kPredictionSelectedColor = 0xF7D78C; // RGB(140, 215, 247)

struct DocumentWindowTestAccess;

class frmDocument : public QWidget, public ActiveDocument {
    Q_OBJECT
public:
    explicit frmDocument(QWidget* parent = nullptr);
    ~frmDocument() override;

    // ---- slot binding: the slot number as decimal text ("" while loading) ----
    QString Tag() const;
    void setTag(const QString& tag);

    // ---- controls ----
    RichTextBox* rtfText = nullptr;
    // transport
    QPushButton* SpeakBtn = nullptr;
    QPushButton* StopBtn = nullptr;
    QPushButton* PauseBtn = nullptr;
    QPushButton* ResumeBtn = nullptr;
    QPushButton* NextBtn = nullptr;
    QPushButton* PriewBtn = nullptr;
    // voice and speed
    QComboBox* VoiceCB = nullptr;
    QScrollBar* cpvSlider1 = nullptr; // speech rate, -6..4
    QLabel* Lblspeed = nullptr;       // the bar's value as text
    QLabel* Speaker = nullptr;        // "Speaker"
    QLabel* Speed = nullptr;          // "Speed"
    QComboBox* Combo2 = nullptr;      // hidden, no entries; target of convoice
    QPushButton* btnTryVoice = nullptr;
    QPushButton* CmdMoreVoice = nullptr;
    QPushButton* BtnVoiceSample = nullptr;
    QPushButton* CmdFemaleVoice = nullptr;
    // toolbar; its buttons are actions holding "Key" and the string id "Tag"
    QToolBar* tbToolBar = nullptr;
    // bottom buttons and the advert line
    QPushButton* Btnminibar = nullptr;
    QPushButton* btnBBC = nullptr;
    QPushButton* helpbtn = nullptr;   // hidden
    QPushButton* Command4 = nullptr;  // hidden
    QPushButton* KeyPressbtn = nullptr;
    QLabel* lblAd = nullptr;
    // frame pictures
    QLabel* ImgButton = nullptr;
    QLabel* ImgLeftBottom = nullptr;
    QLabel* ImgMidtop = nullptr;
    QLabel* ImgLeftTop = nullptr;
    QLabel* ImgRightTop = nullptr;
    QLabel* ImgMidBtm = nullptr;
    QLabel* ImgRightBtm = nullptr;
    QLabel* ImgLeftMId = nullptr;
    QLabel* ImgrightMid = nullptr;
    QLabel* ImgMidBottom = nullptr;
    QWidget* Picfeedback = nullptr;
    // typing echo panel (hidden)
    QWidget* PicEchoOptions = nullptr;
    QCheckBox* ChkLetter = nullptr;
    QCheckBox* ChkWord = nullptr;
    QCheckBox* ChkSentence = nullptr;
    QCheckBox* chkkeypress = nullptr; // hidden, no handler
    // word prediction panel (hidden)
    QWidget* list1 = nullptr;
    std::array<QLabel*, 10> Label1{};       // the word rows
    std::array<QLabel*, 10> Label2{};       // their numbers "1".."9", "0"
    std::array<QPushButton*, 10> Command6{}; // speak a row's word
    QPushButton* Command7 = nullptr;        // previous page
    QPushButton* Command8 = nullptr;        // next page
    // timers
    QTimer* Timer1 = nullptr; // 1000 ms, enabled, ticks do nothing
    QTimer* Timer2 = nullptr; // 100 ms, one advert step
    QTimer* tmrAd = nullptr;  // 8000 ms, never enabled by the program

    // view mode; 1 = text view
    std::int16_t view_status = 0;

    // ---- life cycle ----
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload(int& Cancel);
    void LoadSkin();
    // After the settings dialog's OK: the typing-echo button and options
    // and the word-prediction button as the dialog has them (the options
    // read from the settings again), FrmSet WordPrediction stored, then
    // LoadSkin, toolbarchange and control_pos. The first step that fails
    // ends it with its exception; the steps before it stay done.
    void ApplySettings(bool typingEcho, bool wordPrediction);
    void Play_Click();

    // ---- voice and speed ----
    void VoiceCB_Click();
    void cpvSlider1_Change();
    void Adjustspeed();
    std::int16_t convoice();
    void stopspeaking();
    void hearsamles_Click();
    void btnTryVoice_Click();
    void CmdMoreVoice_Click();
    void BtnVoiceSample_Click();
    void CmdFemaleVoice_Click();

    // ---- toolbar, layout and text format ----
    void tbToolBar_ButtonClick(QAction* Button);
    void toolbarchange();
    void settoolbar(bool found);
    void control_pos() override;
    void control_pos2();
    void ShowEditBar();
    // Gives the whole text the font and colour of the settings, caret at
    // the start. A setting that cannot be converted ends it with an
    // exception, after the ones read before it have been given.
    void setrtfformat();
    // The font and colour of the settings (FrmSet Color, FontName,
    // FontSize, FontBold, FontItalic, FontStrikethru, FontUnderline, read
    // in this order) into `look`. A value that cannot be converted ends the
    // reading with an exception; `look` keeps what was read before it.
    void readConfiguredLook(RichTextBox::FontAndColor& look) const;
    // The toolbar button at a 1-based position (separators count); null
    // outside the toolbar.
    QAction* toolbarButton(int position) const;
    // Index into ImageList3 of a toolbar button's image (0: none or design).
    int toolbarButtonImage(int position) const;
    // Gives the button at a position image `image` of ImageList3; throws
    // when there is no such button or image.
    void setToolbarImage(int position, int image);

    // ---- word prediction rows and typing echo ----
    void AddTotalList(const QString& words);
    void PicKeydown(std::int16_t KeyCode);
    void Command7_Click();
    void Command8_Click();
    void Label1_Click(int Index);
    void Label1_DblClick(int Index);
    void Command6_GotFocus(int Index);
    void Command6_Click(int Index);
    void ChkLetter_Click();
    void ChkWord_Click();
    void ChkSentence_Click();

    // ---- advert line and remaining handlers ----
    void Timer2_Timer();
    void tmrAd_Timer();
    void lblAd_Click();
    void Btndictate_Click();
    void btnBBC_Click();
    void Btnminibar_Click();
    void Command4_Click();
    void helpbtn_Click();
    void NextBtn_Click();
    void PauseBtn_Click();
    void rtfText_Change();
    void ReadClipboardtoFile_Click();

    // ---- ActiveDocument (the controller's view of the active window) ----
    void setNextBtnEnabled(bool enabled) override;
    void setPriewBtnEnabled(bool enabled) override;
    void rtfSetSelStart(int position) override;
    void rtfSetSelLength(int length) override;
    void rtfSetFocus() override;
    void setSpeedValue(int value) override;
    void setVoiceListIndex(int index) override;
    void setPauseBtnEnabled(bool enabled) override;

    // ---- the controls the reading state shows itself in ----
    void setControlEnabled(DocumentControl control, bool enabled) override;
    void setControlVisible(DocumentControl control, bool visible) override;
    void setToolbarButtonEnabled(int index, bool enabled) override;

    // =====================================================================
    // Reading (defined in frmDocument_reading.cpp)
    // =====================================================================
    void SpeakBtn_Click() override;
    void SpeakNextSentence() override;
    void SpeakSelNextSentence() override;
    void SpeakNext();
    void SpeakPrew() override;
    void SpeakPriew();
    void SetCursorP() override;
    void StopBtn_Click() override;
    void FeedBack() override;
    // Unused helpers kept with the sentence finder.
    void SelectNextSentence(RichTextBox* rtf);
    void SelectForwardSentence(RichTextBox* rtf);
    // =====================================================================

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct DocumentWindowTestAccess;

    // ---- life cycle ----
    bool LoadingWindow = false;
    std::unique_ptr<Skin> Skin1;       // button.skn -> KeyPressbtn
    std::unique_ptr<Skin> SkinSampleF; // kate.skn -> CmdFemaleVoice
    std::unique_ptr<Skin> SkinSampleM; // paul.skn -> BtnVoiceSample
    std::unique_ptr<Skin> Skin2;       // labaicon.skn -> Command6(0..9)
    std::unique_ptr<Skin> Skin3;       // previewL.skn -> Command7
    std::unique_ptr<Skin> Skin4;       // previewR.skn -> Command8
    std::unique_ptr<Skin> Skin5;       // Miniboard.skn -> Btnminibar
    std::unique_ptr<Skin> Skin6;       // more.skn -> CmdMoreVoice
    std::unique_ptr<Skin> Skin7;       // BBC.skn -> btnBBC
    std::unique_ptr<Skin> SkinPlay;    // mainplay.skn -> SpeakBtn, ResumeBtn
    std::unique_ptr<Skin> SkinPause;   // pause.skn -> PauseBtn
    std::unique_ptr<Skin> SkinStop;    // mainstop.skn -> StopBtn
    std::unique_ptr<Skin> SkinN;       // next.skn -> NextBtn
    std::unique_ptr<Skin> SkinP;       // previous.skn -> PriewBtn
    std::unique_ptr<Skin> Skin9;       // tryit.skn -> btnTryVoice

    void buildControls();
    void buildToolbar();
    // The frame pictures' layer, beneath every other control.
    QWidget* frameLayer_ = nullptr;
    // Pixels the toolbar needs beyond its design height to show its icons
    // and captions at the user's font; everything below it moves down by
    // as much, and the layout's twips count from there.
    int topInset_ = 0;
    // Form_Unload has run and let the window close.
    bool unloaded_ = false;
    // Form_Unload is running: the keyboard focus is not moved into the
    // window (the multiple-document area would restore it to give it the
    // focus, and lay out its whole text at the restored size).
    bool unloading_ = false;
    // The load's skins (Skin2 .. Skin9), applied to their buttons.
    void applyLoadSkins();
    // Reads the advert list and shows the current caption (label hidden).
    void loadAdverts();
    // Makes this window the main window's active child.
    void makeActiveChild();
    // Gives the slot back to the document table (1..30 only).
    void releaseSlot(int slot);
    // The controls the reading state sets by name; null for other names.
    QWidget* control(DocumentControl which) const;

    // ---- voice and speed ----
    void FillVoiceList();
    // Shows the stored voice and speed in the controls and the status bar.
    void showStoredVoiceAndSpeed();
    void openTryVoicePage();

    // ---- toolbar, layout and text format ----
    std::int16_t EditBarState = 0;
    // Character range of the spelling check.
    std::int32_t SpellStart = 0;
    std::int32_t SpellEnd = 0;
    // ImageList3 and the image index each toolbar position shows.
    QList<QIcon> ImageList3;
    std::array<int, 24> toolbarImages_{};
    void GetSelRange();
    void CheckSpellingRange(std::int32_t start, std::int32_t end);
    void ShowSpellCheckResult(std::int16_t cancelled);
    void toggleWordPrediction();

    // ---- word prediction rows and typing echo ----
    // Rows left for the second list on the page being built.
    std::int32_t SecondListCount = 0;
    // The caret position the prefix routines last read.
    std::int32_t PrefixCaretPos = 0;
    void wirePredictionPanel();
    QString buildPredictionPage(bool movingOn);
    void resetPredictionRows(int selected);
    QString GetLastWord(RichTextBox* box);
    QString GetWordPrefix();
    QString GetPhrasePrefix();
    bool IsWordDelimiter(int code);
    bool IsPhraseDelimiter(int code);
    void SetEchoMode();

    // ---- advert line and remaining handlers ----
    void EmptyPrivateSub(const QString& first, const QString& second);
    QString GetParentPath(const QString& path);

    // =====================================================================
    // Reading (defined in frmDocument_reading.cpp)
    // =====================================================================
    // Walks the text sentence by sentence; made with rtfText. It keeps the
    // punctuation setting of the last Speak and the last sentence's bounds.
    std::unique_ptr<DocumentReader> reader_;
    QString GetTextToRead() { return reader_->textToRead(); }
    void PriewBtn_Click();
    void ResumeBtn_Click();
    // Mouse events of rtfText: Button 1 left, 2 right, 4 middle; Shift the
    // modifier bits (1 Shift, 2 Ctrl, 4 Alt); X, Y in pixels within rtfText.
    void rtfText_MouseDown(int Button, int Shift, int X, int Y);
    void rtfText_MouseUp(int Button, int Shift, int X, int Y);
    void rtfText_SelChange();
    void cpvSlider1_Scroll();
    // The caret's 0-based line, which it selects.
    std::int32_t SelectCurrentLine(RichTextBox* rtf);
    // =====================================================================
};

// frmDocument members complete
