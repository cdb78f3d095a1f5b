// frmSet: the pages, their controls and the fixed lists and tables.
#include "floatingbar/frmSet.h"

#include "mainwindow/ComboPopup.h"
#include "mainwindow/CommonDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QVariantMap>

namespace {

// A label whose text comes from the string table when the form loads.
QLabel* idLabel(int id, QWidget* parent)
{
    auto* label = new QLabel(QString::number(id), parent);
    label->setProperty("Tag", QString::number(id));
    return label;
}

QCheckBox* box(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

void addTab(QTabBar* bar, const QString& caption, const QString& key, const QString& tag = QString())
{
    const int index = bar->addTab(caption);
    QVariantMap data;
    data.insert(QStringLiteral("Key"), key);
    if (!tag.isEmpty())
        data.insert(QStringLiteral("Tag"), tag);
    bar->setTabData(index, data);
}

} // namespace

QStringList frmSet::HotkeyKeyNames()
{
    QStringList names;
    for (char c = '0'; c <= '9'; ++c)
        names << QString(QChar(c));
    for (char c = 'A'; c <= 'Z'; ++c)
        names << QString(QChar(c));
    for (int f = 1; f <= 12; ++f)
        names << QStringLiteral("F%1").arg(f);
    names << QStringLiteral("Add") << QStringLiteral("Subtract") << QStringLiteral("Left") << QStringLiteral("Up")
          << QStringLiteral("Right") << QStringLiteral("Down") << QStringLiteral("PageUp") << QStringLiteral("PageDown");
    return names;
}

QStringList frmSet::AudioFormatNames()
{
    QStringList names;
    for (int rate : {8, 11, 12, 16, 22, 24, 32, 44, 48})
        for (int bits : {8, 16})
            for (const char* channels : {"Mono", "Stereo"})
                names << QStringLiteral("SAFT%1kHz%2Bit%3").arg(rate).arg(bits).arg(QLatin1String(channels));
    return names;
}

void frmSet::BitrateFromSlider(int step, int& kbit)
{
    static constexpr int table[] = {8, 16, 24, 32, 48, 56, 64, 96, 112, 128, 160, 192, 224, 256, 320};
    kbit = (step >= 0 && step < int(std::size(table))) ? table[step] : 0;
}

QString frmSet::BitrateText(int step)
{
    int kbit = 0;
    BitrateFromSlider(step, kbit);
    return QStringLiteral("Current nominal bitrate: %1 kbit").arg(kbit);
}

std::pair<QString, QString> frmSet::SimpleQuality(int quality)
{
    if (quality == 2)
        return {QStringLiteral("SAFT11kHz16BitMono"), QStringLiteral("3")};
    if (quality == 1)
        return {QStringLiteral("SAFT24kHz16BitMono"), QStringLiteral("6")};
    return {QStringLiteral("SAFT48kHz16BitMono"), QStringLiteral("9")};
}

frmSet::frmSet(QWidget* parent)
    : QDialog(parent)
    , CommonDialog1(new CommonDialog)
{
    setObjectName(QStringLiteral("frmSet"));
    setProperty("Tag", QStringLiteral("2205"));
    setModal(true);
    CommonDialog1->owner = this;

    auto* layout = new QVBoxLayout(this);
    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setExpanding(false);
    addTab(TabStrip1, QStringLiteral("1129"), QString(), QStringLiteral("1129"));
    addTab(TabStrip1, QStringLiteral("Text to MP3"), QStringLiteral("TTMP3"));
    addTab(TabStrip1, QStringLiteral("1421"), QString(), QStringLiteral("1421"));
    addTab(TabStrip1, QStringLiteral("5046"), QString(), QStringLiteral("5046"));
    addTab(TabStrip1, QStringLiteral("ToolBars"), QString());
    layout->addWidget(TabStrip1);

    pages = new QStackedWidget(this);
    layout->addWidget(pages, 1);
    buildTtsPage();
    buildMp3Page();
    buildFontPage();
    buildHotkeyPage();
    buildKeypressPage();
    buildSpellingPage();
    buildToolbarPage();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Cmdok = new QPushButton(QStringLiteral("5019"), this);
    Cmdok->setProperty("Tag", QStringLiteral("5019"));
    Cmdok->setDefault(true);
    Cmdcancel = new QPushButton(QStringLiteral("5020"), this);
    Cmdcancel->setProperty("Tag", QStringLiteral("5020"));
    buttons->addWidget(Cmdok);
    buttons->addWidget(Cmdcancel);
    layout->addLayout(buttons);

    Form_Load();
    connectHandlers();
}

frmSet::~frmSet()
{
    delete CommonDialog1;
}

void frmSet::buildTtsPage()
{
    PicTTS = new QWidget;
    PicTTS->setObjectName(QStringLiteral("PicTTS"));
    auto* page = new QVBoxLayout(PicTTS);

    auto* basic = new QGroupBox(QStringLiteral("Basic Text to Speech Settings"), PicTTS);
    auto* grid = new QGridLayout(basic);
    grid->addWidget(new QLabel(QStringLiteral("Default Speaker"), basic), 0, 0);
    VoiceCB = new QComboBox(basic);
    VoiceCB->setObjectName(QStringLiteral("VoiceCB"));
    LimitPopupRows(VoiceCB);
    grid->addWidget(VoiceCB, 0, 1, 1, 2);
    grid->addWidget(idLabel(2100, basic), 1, 0);
    HsSpeed = new QScrollBar(Qt::Horizontal, basic);
    HsSpeed->setObjectName(QStringLiteral("HsSpeed"));
    HsSpeed->setRange(-6, 4);
    HsSpeed->setValue(0);
    grid->addWidget(HsSpeed, 1, 1);
    Label28 = new QLabel(QStringLiteral("0"), basic);
    grid->addWidget(Label28, 1, 2);
    page->addWidget(basic);

    auto* advanced = new QGroupBox(QStringLiteral("Advanced Settings"), PicTTS);
    auto* adv = new QVBoxLayout(advanced);
    ChkPunctuation = box(QStringLiteral("Read Punctuation aloud "), "ChkPunctuation", advanced);
    adv->addWidget(ChkPunctuation);
    adv->addWidget(new QLabel(
        QStringLiteral("(Notice, if the option is checked, there will be no highlight when reading text)"), advanced));
    page->addWidget(advanced);
    page->addStretch(1);
    pages->addWidget(PicTTS);
}

void frmSet::buildMp3Page()
{
    PicTTMP3 = new QWidget;
    PicTTMP3->setObjectName(QStringLiteral("PicTTMP3"));
    auto* page = new QVBoxLayout(PicTTMP3);
    auto* frame = new QGroupBox(QStringLiteral("Quality of Audio File"), PicTTMP3);
    auto* grid = new QGridLayout(frame);

    OptionQality[0] = new QRadioButton(QStringLiteral("Simple Control"), frame);
    OptionQality[1] = new QRadioButton(QStringLiteral("Advanced Control"), frame);
    OptionQality[0]->setChecked(true);
    grid->addWidget(OptionQality[0], 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Quality:"), frame), 1, 0);
    QualityCB = new QComboBox(frame);
    QualityCB->setObjectName(QStringLiteral("QualityCB"));
    grid->addWidget(QualityCB, 1, 1);

    grid->addWidget(OptionQality[1], 2, 0, 1, 2);
    grid->addWidget(idLabel(5026, frame), 3, 0);
    FormatCB = new QComboBox(frame);
    FormatCB->setObjectName(QStringLiteral("FormatCB"));
    LimitPopupRows(FormatCB);
    grid->addWidget(FormatCB, 3, 1);
    ChkMP3ogg = box(QStringLiteral("Set MP3(Ogg) Quality"), "ChkMP3ogg", frame);
    grid->addWidget(ChkMP3ogg, 4, 0, 1, 2);
    Slider1 = new QSlider(Qt::Horizontal, frame);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(0, 14);
    Slider1->setTickPosition(QSlider::TicksBelow);
    grid->addWidget(Slider1, 5, 0, 1, 2);
    LblBitrate = new QLabel(frame);
    grid->addWidget(LblBitrate, 6, 0, 1, 2);
    auto* note = new QLabel(QStringLiteral("You can adjust the quality of audio file here. The higher the quality is, "
                                           "the larger the size will be."),
                            frame);
    note->setWordWrap(true);
    grid->addWidget(note, 7, 0, 1, 2);
    page->addWidget(frame);
    page->addStretch(1);
    pages->addWidget(PicTTMP3);
}

void frmSet::buildFontPage()
{
    PicFonts = new QWidget;
    PicFonts->setObjectName(QStringLiteral("PicFonts"));
    auto* page = new QVBoxLayout(PicFonts);
    auto* frame = new QGroupBox(QStringLiteral("Font Settings"), PicFonts);
    auto* grid = new QGridLayout(frame);
    slblFontName = new QLabel(frame);
    slblFontSize = new QLabel(frame);
    slblFontStyle = new QLabel(frame);
    grid->addWidget(idLabel(5064, frame), 0, 0);
    grid->addWidget(slblFontName, 0, 1);
    grid->addWidget(idLabel(5065, frame), 1, 0);
    grid->addWidget(slblFontSize, 1, 1);
    grid->addWidget(idLabel(5066, frame), 2, 0);
    grid->addWidget(slblFontStyle, 2, 1);
    CmdFormatFont = new QPushButton(QStringLiteral("5067"), frame);
    CmdFormatFont->setProperty("Tag", QStringLiteral("5067"));
    grid->addWidget(CmdFormatFont, 0, 2);
    RichTextBox1 = new QTextEdit(frame);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setPlainText(QStringLiteral("AaBbCcXxYyZz 0123456789"));
    RichTextBox1->setAlignment(Qt::AlignCenter);
    grid->addWidget(RichTextBox1, 3, 0, 1, 3);
    page->addWidget(frame);
    pages->addWidget(PicFonts);
}

void frmSet::buildHotkeyPage()
{
    PicHotkey = new QWidget;
    PicHotkey->setObjectName(QStringLiteral("PicHotkey"));
    auto* page = new QVBoxLayout(PicHotkey);
    auto* frame = new QGroupBox(QStringLiteral("HotKey Settings"), PicHotkey);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Ctrl"), frame), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Shift"), frame), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Alt"), frame), 0, 3);

    // Row n's label and its place on the page: "Stop", stored as the
    // seventh hotkey, stands second, under "Play/Pause".
    static constexpr int labelIds[7] = {5057, 1133, 5058, 5059, 5060, 5061, 1927};
    static constexpr int place[7] = {1, 3, 4, 5, 6, 7, 2};
    for (int i = 0; i < 7; ++i) {
        const int r = place[i];
        grid->addWidget(idLabel(labelIds[i], frame), r, 0);
        CheckCtrl[i] = box(QStringLiteral("   +"), "CheckCtrl", frame);
        CheckShift[i] = box(QStringLiteral("   +"), "CheckShift", frame);
        CheckArt[i] = box(QStringLiteral("   +"), "CheckArt", frame);
        ComboKey[i] = new QComboBox(frame);
        ComboKey[i]->setObjectName(QStringLiteral("ComboKey"));
        LimitPopupRows(ComboKey[i]);
        grid->addWidget(CheckCtrl[i], r, 1);
        grid->addWidget(CheckShift[i], r, 2);
        grid->addWidget(CheckArt[i], r, 3);
        grid->addWidget(ComboKey[i], r, 4);
    }
    page->addWidget(frame);
    page->addStretch(1);
    pages->addWidget(PicHotkey);
}

void frmSet::buildKeypressPage()
{
    PicKeypress = new QWidget;
    PicKeypress->setObjectName(QStringLiteral("PicKeypress"));
    auto* page = new QVBoxLayout(PicKeypress);
    auto* frame = new QGroupBox(QStringLiteral("Typing Echo Settings"), PicKeypress);
    auto* col = new QVBoxLayout(frame);
    chkkeypress = box(QStringLiteral("Read aloud while pressing key "), "chkkeypress", frame);
    ChkLetter = box(QStringLiteral("By Letter: read aloud when every letter is pressed "), "ChkLetter", frame);
    ChkWord = box(QStringLiteral("By Word: read aloud when every word is finished "), "ChkWord", frame);
    ChkSentence = box(QStringLiteral("By Sentence: read aloud when every sentence is finished"), "ChkSentence", frame);
    col->addWidget(chkkeypress);
    for (QCheckBox* b : {ChkLetter, ChkWord, ChkSentence}) {
        b->setContentsMargins(20, 0, 0, 0);
        col->addWidget(b);
    }
    page->addWidget(frame);
    page->addStretch(1);
    pages->addWidget(PicKeypress);
}

void frmSet::buildSpellingPage()
{
    PicSpelling = new QWidget;
    PicSpelling->setObjectName(QStringLiteral("PicSpelling"));
    auto* page = new QVBoxLayout(PicSpelling);
    auto* helper = new QGroupBox(QStringLiteral("Spell Helper"), PicSpelling);
    auto* h = new QVBoxLayout(helper);
    ChkPrediction = box(QStringLiteral("Enable Word Prediction"), "ChkPrediction", helper);
    h->addWidget(ChkPrediction);
    page->addWidget(helper);

    auto* check = new QGroupBox(QStringLiteral("Spelling Check Settings"), PicSpelling);
    auto* c = new QVBoxLayout(check);
    chkIgnoreMixed = box(QStringLiteral("Ignore Words in &Mixed Case"), "chkIgnoreMixed", check);
    chkSuggest = box(QStringLiteral("Show &Suggestions"), "chkSuggest", check);
    chkIgnoreNum = box(QStringLiteral("Ignore Words with &Numbers"), "chkIgnoreNum", check);
    chkIgnoreUp = box(QStringLiteral("Ignore Words in &Upper Case"), "chkIgnoreUp", check);
    chkwhiletype = box(QStringLiteral("Check while typing"), "chkwhiletype", check);
    for (QCheckBox* b : {chkIgnoreMixed, chkSuggest, chkIgnoreNum, chkIgnoreUp, chkwhiletype}) {
        b->setChecked(true);
        c->addWidget(b);
    }
    page->addWidget(check);
    page->addStretch(1);
    pages->addWidget(PicSpelling);
}

void frmSet::buildToolbarPage()
{
    PicToolbar = new QWidget;
    PicToolbar->setObjectName(QStringLiteral("PicToolbar"));
    auto* page = new QVBoxLayout(PicToolbar);
    auto* frame = new QGroupBox(QStringLiteral("Toolbar Settings"), PicToolbar);
    auto* col = new QVBoxLayout(frame);
    ChkWordbar = box(QStringLiteral("Show MS Word Toolbar"), "ChkWordbar", frame);
    ChkPPTbar = box(QStringLiteral("Show MS PowerPoint Toolbar"), "ChkPPTbar", frame);
    ChkOutlookbar = box(QStringLiteral("Show MS Outlook Toolbar"), "ChkOutlookbar", frame);
    ChkIEbar = box(QStringLiteral("Show MS IE Toolbar"), "ChkIEbar", frame);
    for (QCheckBox* b : {ChkWordbar, ChkPPTbar, ChkOutlookbar, ChkIEbar})
        col->addWidget(b);
    page->addWidget(frame);
    page->addStretch(1);
    pages->addWidget(PicToolbar);
}

void frmSet::connectHandlers()
{
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
    connect(HsSpeed, &QScrollBar::valueChanged, this, [this](int) { HsSpeed_Change(); });
    connect(OptionQality[0], &QRadioButton::toggled, this, [this](bool) { OptionQality_Click(0); });
    connect(OptionQality[1], &QRadioButton::toggled, this, [this](bool) { OptionQality_Click(1); });
    connect(QualityCB, &QComboBox::currentIndexChanged, this, [this](int) { showSimpleFormat(); });
    connect(Slider1, &QSlider::valueChanged, this, [this](int) { Slider1_Scroll(); });
    connect(CmdFormatFont, &QPushButton::clicked, this, [this] { CmdFormatFont_Click(); });
    connect(Cmdok, &QPushButton::clicked, this, [this] { Cmdok_Click(); });
    connect(Cmdcancel, &QPushButton::clicked, this, [this] { Cmdcancel_Click(); });

    // The storing check boxes answer the user's clicks; the load sets them
    // without writing (it would only write back what it has just read).
    const std::pair<QCheckBox*, void (frmSet::*)()> clicks[] = {
        {ChkWordbar, &frmSet::ChkWordbar_Click},       {ChkPPTbar, &frmSet::ChkPPTbar_Click},
        {ChkOutlookbar, &frmSet::ChkOutlookbar_Click}, {ChkIEbar, &frmSet::ChkIEbar_Click},
        {ChkPrediction, &frmSet::ChkPrediction_Click}, {chkIgnoreMixed, &frmSet::chkIgnoreMixed_Click},
        {chkIgnoreNum, &frmSet::chkIgnoreNum_Click},   {chkIgnoreUp, &frmSet::chkIgnoreUp_Click},
        {chkSuggest, &frmSet::chkSuggest_Click},       {chkwhiletype, &frmSet::chkwhiletype_Click},
        {chkkeypress, &frmSet::chkkeypress_Click},     {ChkLetter, &frmSet::ChkLetter_Click},
        {ChkWord, &frmSet::ChkWord_Click},             {ChkSentence, &frmSet::ChkSentence_Click},
        {ChkPunctuation, &frmSet::ChkPunctuation_Click}, {ChkMP3ogg, &frmSet::ChkMP3ogg_Click},
    };
    for (const auto& [b, handler] : clicks)
        connect(b, &QCheckBox::clicked, this, [this, handler = handler](bool) { (this->*handler)(); });
}

QWidget* frmSet::currentPage() const
{
    return pages->currentWidget();
}

void frmSet::bringToFront(QWidget* page)
{
    pages->setCurrentWidget(page);
}

void frmSet::IgnoreText(const QString& /*text*/) {}
