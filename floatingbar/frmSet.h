#pragma once
// frmSet: the modal settings dialog. Seven pages under one tab strip; every
// value is read from the settings file each time the dialog loads. The
// check boxes of the toolbar, typing-echo, spelling, punctuation and
// MP3/Ogg options store their value the moment they are clicked; OK stores
// the rest (hotkeys, punctuation mode, font, voice, speed, audio quality),
// registers the hotkeys again and refreshes the active document window.
// Cancel stores nothing.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <utility>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QStackedWidget;
class QTabBar;
class QTextEdit;
class CommonDialog;

class frmSet : public QDialog {
    Q_OBJECT
public:
    explicit frmSet(QWidget* parent = nullptr);
    ~frmSet() override;

    // ---- fixed lists and tables ----
    // The 56 key names of every hotkey row's key list.
    static QStringList HotkeyKeyNames();
    // The 36 audio-format names of FormatCB.
    static QStringList AudioFormatNames();
    // kbit of a slider step 0..14 (8 .. 320); 0 for any other step.
    static void BitrateFromSlider(int step, int& kbit);
    // "Current nominal bitrate: <kbit> kbit".
    static QString BitrateText(int step);
    // The format name and MP3/Ogg step a simple quality stands for
    // (QualityCB index: 0 High, 1 Normal, 2 Low; any other counts as High).
    static std::pair<QString, QString> SimpleQuality(int quality);

    // ---- controls ----
    QTabBar* TabStrip1 = nullptr;
    QStackedWidget* pages = nullptr;
    QWidget* PicTTS = nullptr;
    QWidget* PicTTMP3 = nullptr;
    QWidget* PicFonts = nullptr;
    QWidget* PicHotkey = nullptr;
    QWidget* PicKeypress = nullptr;
    QWidget* PicSpelling = nullptr;
    QWidget* PicToolbar = nullptr;
    QPushButton* Cmdok = nullptr;
    QPushButton* Cmdcancel = nullptr;

    // Text to Speech
    QComboBox* VoiceCB = nullptr;
    QScrollBar* HsSpeed = nullptr;
    QLabel* Label28 = nullptr;
    QCheckBox* ChkPunctuation = nullptr;

    // Text to MP3
    std::array<QRadioButton*, 2> OptionQality{};
    QComboBox* QualityCB = nullptr;
    QComboBox* FormatCB = nullptr;
    QCheckBox* ChkMP3ogg = nullptr;
    QSlider* Slider1 = nullptr;
    QLabel* LblBitrate = nullptr;

    // Font
    QPushButton* CmdFormatFont = nullptr;
    QLabel* slblFontName = nullptr;
    QLabel* slblFontSize = nullptr;
    QLabel* slblFontStyle = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    CommonDialog* CommonDialog1 = nullptr;

    // HotKey: row n is index n-1
    std::array<QCheckBox*, 7> CheckCtrl{};
    std::array<QCheckBox*, 7> CheckShift{};
    std::array<QCheckBox*, 7> CheckArt{};
    std::array<QComboBox*, 7> ComboKey{};

    // Typing Echo
    QCheckBox* chkkeypress = nullptr;
    QCheckBox* ChkLetter = nullptr;
    QCheckBox* ChkWord = nullptr;
    QCheckBox* ChkSentence = nullptr;

    // Spelling
    QCheckBox* ChkPrediction = nullptr;
    QCheckBox* chkIgnoreMixed = nullptr;
    QCheckBox* chkSuggest = nullptr;
    QCheckBox* chkIgnoreNum = nullptr;
    QCheckBox* chkIgnoreUp = nullptr;
    QCheckBox* chkwhiletype = nullptr;

    // ToolBars
    QCheckBox* ChkWordbar = nullptr;
    QCheckBox* ChkPPTbar = nullptr;
    QCheckBox* ChkOutlookbar = nullptr;
    QCheckBox* ChkIEbar = nullptr;

    // Set by chkwhiletype; only this dialog reads it.
    bool CheckWhileTyping = false;

    // The page in front.
    QWidget* currentPage() const;
    // The hotkey text of row n (1..7) as OK builds it.
    QString hotkeyText(int row) const;

    // ---- event handlers ----
    void Form_Load();
    void TabStrip1_Click();
    void HsSpeed_Change();
    void OptionQality_Click(int Index);
    // With Simple Control, the format list shows the format of the
    // quality chosen: the format its files are written in.
    void showSimpleFormat();
    void Slider1_Scroll();
    void ChkMP3ogg_Click();
    void CmdFormatFont_Click();
    void Cmdok_Click();
    void Cmdcancel_Click();

    void ChkWordbar_Click();
    void ChkPPTbar_Click();
    void ChkOutlookbar_Click();
    void ChkIEbar_Click();
    void ChkPrediction_Click();
    void chkIgnoreMixed_Click();
    void chkIgnoreNum_Click();
    void chkIgnoreUp_Click();
    void chkSuggest_Click();
    void chkwhiletype_Click();
    void chkkeypress_Click();
    void ChkLetter_Click();
    void ChkWord_Click();
    void ChkSentence_Click();
    void ChkPunctuation_Click();

private:
    void buildTtsPage();
    void buildMp3Page();
    void buildFontPage();
    void buildHotkeyPage();
    void buildKeypressPage();
    void buildSpellingPage();
    void buildToolbarPage();
    void connectHandlers();

    void FillReaders();
    void FillAudioFormats();
    void FillHotkeyKeys(int Index);
    void loadHotkeyRows();
    void loadQualityPage();
    void loadFontSample();
    void updateFontLabels();
    void showTypingEchoOptions(bool readStored);
    void IgnoreText(const QString& text);

    void bringToFront(QWidget* page);
};
