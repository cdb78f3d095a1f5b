// The document window's controls: made once, placed at their design
// positions (in twips), and wired to their handlers.
#include "mainwindow/frmDocument.h"

#include "mainwindow/ComboPopup.h"
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

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
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

PredictionState predictionState;

namespace {

constexpr int kSelectVoiceTip = 2122;
constexpr int kVideoHelpText = 5055;
constexpr int kMainboardText = 2311;

// Design size of the window, in twips.
constexpr int kDesignWidth = 12000;
constexpr int kDesignHeight = 8000;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& toolTip = QString())
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(toolTip);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption = QString())
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// A frame picture: a plain coloured piece of the window's border.
QLabel* makeFramePicture(QWidget* layer, const char* name, const QColor& color)
{
    QLabel* l = makeLabel(layer, name);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, color);
    l->setPalette(p);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

} // namespace

namespace docwin {

int twipsToPixels(const QWidget* w, int twips)
{
    return qRound(twips / TwipsPerPixelX(w));
}

int pixelsToTwips(const QWidget* w, int pixels)
{
    return qRound(pixels * TwipsPerPixelX(w));
}

void placeTwips(QWidget* control, int left, int top, int width, int height)
{
    const QWidget* w = control->parentWidget() ? control->parentWidget() : control;
    control->setGeometry(twipsToPixels(w, left), twipsToPixels(w, top), twipsToPixels(w, width),
                         twipsToPixels(w, height));
}

bool TextToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return TextToDouble(t) != 0.0;
}

double TextToDouble(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok)
        throw std::invalid_argument("Type mismatch");
    return v;
}

} // namespace docwin

using namespace docwin;

void frmDocument::buildControls()
{
    setObjectName(QStringLiteral("frmDocument"));
    resize(twipsToPixels(this, kDesignWidth), twipsToPixels(this, kDesignHeight));

    // The frame pictures sit on a layer beneath every other control, the
    // way pictures drawn on the window's surface do: bringing one to the
    // front orders it among the pictures only.
    frameLayer_ = new QWidget(this);
    frameLayer_->setObjectName(QStringLiteral("frameLayer"));
    frameLayer_->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QColor frameBlue(0x25, 0x63, 0xeb);
    const QColor frameLight(0xdb, 0xea, 0xfe);
    ImgMidtop = makeFramePicture(frameLayer_, "ImgMidtop", frameLight);
    ImgLeftTop = makeFramePicture(frameLayer_, "ImgLeftTop", frameBlue);
    ImgRightTop = makeFramePicture(frameLayer_, "ImgRightTop", frameBlue);
    ImgLeftMId = makeFramePicture(frameLayer_, "ImgLeftMId", frameLight);
    ImgrightMid = makeFramePicture(frameLayer_, "ImgrightMid", frameLight);
    ImgLeftBottom = makeFramePicture(frameLayer_, "ImgLeftBottom", frameBlue);
    ImgMidBtm = makeFramePicture(frameLayer_, "ImgMidBtm", frameLight);
    ImgRightBtm = makeFramePicture(frameLayer_, "ImgRightBtm", frameBlue);
    ImgMidBottom = makeFramePicture(frameLayer_, "ImgMidBottom", frameLight);
    ImgButton = makeFramePicture(frameLayer_, "ImgButton", frameLight);
    placeTwips(ImgMidtop, 0, 550, kDesignWidth, 1130);
    placeTwips(ImgLeftTop, 0, 550, 330, 1130);
    placeTwips(ImgRightTop, kDesignWidth - 330, 550, 330, 1130);
    placeTwips(ImgLeftMId, 0, 1680, 330, 5400);
    placeTwips(ImgrightMid, kDesignWidth - 330, 1680, 330, 5400);
    placeTwips(ImgLeftBottom, 0, kDesignHeight - 1000, 330, 1000);
    placeTwips(ImgMidBtm, 0, kDesignHeight - 1000, kDesignWidth, 1000);
    placeTwips(ImgRightBtm, kDesignWidth - 330, kDesignHeight - 1000, 330, 1000);
    placeTwips(ImgMidBottom, 330, kDesignHeight - 1000, kDesignWidth - 660, 60);
    placeTwips(ImgButton, 330, 1560, 2900, 90);

    buildToolbar();

    // transport buttons: Speak, Pause and Resume share one place
    SpeakBtn = makeButton(this, "SpeakBtn", QStringLiteral("Speak"));
    ResumeBtn = makeButton(this, "ResumeBtn", QStringLiteral("Resume"));
    PauseBtn = makeButton(this, "PauseBtn", QStringLiteral("Pause"));
    StopBtn = makeButton(this, "StopBtn", QStringLiteral("Stop"));
    PriewBtn = makeButton(this, "PriewBtn", QStringLiteral("Previous sentence"));
    NextBtn = makeButton(this, "NextBtn", QStringLiteral("Next sentence"));
    placeTwips(SpeakBtn, 400, 680, 600, 600);
    placeTwips(ResumeBtn, 400, 680, 600, 600);
    placeTwips(PauseBtn, 400, 680, 600, 600);
    placeTwips(StopBtn, 1080, 680, 600, 600);
    placeTwips(PriewBtn, 1760, 680, 600, 600);
    placeTwips(NextBtn, 2440, 680, 600, 600);
    PauseBtn->hide();
    ResumeBtn->hide();

    // voice and speed
    Speaker = makeLabel(this, "Speaker", QStringLiteral("Speaker"));
    VoiceCB = new QComboBox(this);
    VoiceCB->setObjectName(QStringLiteral("VoiceCB"));
    VoiceCB->setProperty("ToolTipText", QString::number(kSelectVoiceTip));
    LimitPopupRows(VoiceCB);
    VoiceCB->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Speed = makeLabel(this, "Speed", QStringLiteral("Speed"));
    cpvSlider1 = new QScrollBar(Qt::Horizontal, this);
    cpvSlider1->setObjectName(QStringLiteral("cpvSlider1"));
    cpvSlider1->setRange(-6, 4);
    cpvSlider1->setSingleStep(1);
    cpvSlider1->setPageStep(1);
    cpvSlider1->setValue(0);
    Lblspeed = makeLabel(this, "Lblspeed", QStringLiteral("0"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(true);
    Combo2->setEditText(QStringLiteral("Combo1"));
    Combo2->hide();
    placeTwips(Speaker, 3250, 720, 800, 255);
    placeTwips(VoiceCB, 4100, 680, 2300, 330);
    placeTwips(Speed, 3250, 1140, 800, 255);
    placeTwips(cpvSlider1, 4100, 1140, 1800, 255);
    placeTwips(Lblspeed, 6000, 1140, 400, 255);
    placeTwips(Combo2, 4100, 680, 2300, 330);

    btnTryVoice = makeButton(this, "btnTryVoice", QStringLiteral("Try your text with more voices"));
    btnTryVoice->setText(QStringLiteral("Try it"));
    KeyPressbtn = makeButton(this, "KeyPressbtn");
    KeyPressbtn->setText(QStringLiteral("Typing echo"));
    KeyPressbtn->hide();
    placeTwips(btnTryVoice, 6550, 1080, 1100, 400);
    placeTwips(KeyPressbtn, 7800, 1080, 1400, 400);

    // the text
    rtfText = new RichTextBox(this);
    reader_ = std::make_unique<DocumentReader>(rtfText);
    rtfText->setObjectName(QStringLiteral("rtfText"));
    placeTwips(rtfText, 330, 1680, kDesignWidth - 660, kDesignHeight - 2680);
    rtfText->viewport()->installEventFilter(this);
    // The right-click menu is the program's; the keyboard's menu key asks
    // the control itself.
    rtfText->installEventFilter(this);
    // The text being read is not changed under the reader.
    rtfText->setLockedWhen([this] { return readingState.ReadingDocument() == this; });

    // bottom buttons
    BtnVoiceSample = makeButton(this, "BtnVoiceSample", QStringLiteral("Hear the male voice"));
    BtnVoiceSample->setText(QStringLiteral("Paul"));
    CmdFemaleVoice = makeButton(this, "CmdFemaleVoice", QStringLiteral("Hear the female voice"));
    CmdFemaleVoice->setText(QStringLiteral("Kate"));
    CmdMoreVoice = makeButton(this, "CmdMoreVoice", QStringLiteral("More voices"));
    CmdMoreVoice->setText(QStringLiteral("More voices"));
    btnBBC = makeButton(this, "btnBBC", QStringLiteral("News"));
    btnBBC->setText(QStringLiteral("News"));
    Btnminibar = makeButton(this, "Btnminibar", QStringLiteral("Switch to the floating bar"));
    Btnminibar->setText(QStringLiteral("Floating bar"));
    helpbtn = makeButton(this, "helpbtn");
    helpbtn->setProperty("Tag", QString::number(kVideoHelpText));
    helpbtn->hide();
    Command4 = makeButton(this, "Command4");
    Command4->setText(QStringLiteral("Dock to floating bar"));
    Command4->setProperty("Tag", QString::number(kMainboardText));
    Command4->hide();
    placeTwips(BtnVoiceSample, 2970, kDesignHeight - 900, 900, 600);
    placeTwips(CmdFemaleVoice, 3910, kDesignHeight - 900, 1080, 600);
    placeTwips(CmdMoreVoice, 5035, kDesignHeight - 900, 1400, 600);
    placeTwips(btnBBC, 6900, kDesignHeight - 705, 1100, 400);
    placeTwips(Btnminibar, kDesignWidth - 2500, kDesignHeight - 800, 1900, 600);
    placeTwips(helpbtn, 330, kDesignHeight - 900, 1300, 400);
    placeTwips(Command4, 330, kDesignHeight - 450, 2000, 400);

    lblAd = makeLabel(this, "lblAd");
    lblAd->setCursor(Qt::PointingHandCursor);
    lblAd->installEventFilter(this);
    placeTwips(lblAd, 6500, 600, 4500, 255);

    Picfeedback = new QWidget(this);
    Picfeedback->setObjectName(QStringLiteral("Picfeedback"));
    Picfeedback->hide();
    placeTwips(Picfeedback, kDesignWidth - 2000, 1700, 1500, 400);

    // typing echo panel: its boxes in a row beside "Try it", each as wide as
    // its caption
    PicEchoOptions = new QWidget(this);
    PicEchoOptions->setObjectName(QStringLiteral("PicEchoOptions"));
    auto* echoRow = new QHBoxLayout(PicEchoOptions);
    echoRow->setContentsMargins(0, 0, 0, 0);
    ChkLetter = new QCheckBox(QStringLiteral("By Letter"), PicEchoOptions);
    ChkLetter->setObjectName(QStringLiteral("ChkLetter"));
    ChkWord = new QCheckBox(QStringLiteral("By Word"), PicEchoOptions);
    ChkWord->setObjectName(QStringLiteral("ChkWord"));
    ChkSentence = new QCheckBox(QStringLiteral("By Sentence"), PicEchoOptions);
    ChkSentence->setObjectName(QStringLiteral("ChkSentence"));
    chkkeypress = new QCheckBox(QStringLiteral("Read aloud while pressing key "), PicEchoOptions);
    chkkeypress->setObjectName(QStringLiteral("chkkeypress"));
    for (QCheckBox* box : {ChkLetter, ChkWord, ChkSentence, chkkeypress})
        echoRow->addWidget(box);
    chkkeypress->hide();
    placeTwips(PicEchoOptions, 7800, 1080, 4400, 400);
    PicEchoOptions->hide();

    // word prediction panel
    list1 = new QWidget(this);
    list1->setObjectName(QStringLiteral("list1"));
    list1->setAutoFillBackground(true);
    placeTwips(list1, 8000, 1700, 2800, 2800);
    for (int i = 0; i < 10; ++i) {
        Label2[i] = makeLabel(list1, "Label2", QString::number((i + 1) % 10));
        placeTwips(Label2[i], 0, 240 * i, 240, 255);
        Label1[i] = makeLabel(list1, "Label1");
        Label1[i]->setAutoFillBackground(true);
        Label1[i]->installEventFilter(this);
        placeTwips(Label1[i], 240, 240 * i, 2055, 255);
        Command6[i] = makeButton(list1, "Command6");
        Command6[i]->setProperty("Index", i);
        placeTwips(Command6[i], 2280, 240 * i, 375, 255);
        connect(Command6[i], &QPushButton::clicked, this, [this, i] { Command6_Click(i); });
    }
    Command7 = makeButton(list1, "Command7", QStringLiteral("Previous words"));
    Command8 = makeButton(list1, "Command8", QStringLiteral("Next words"));
    placeTwips(Command7, 240, 2420, 1000, 300);
    placeTwips(Command8, 1300, 2420, 1000, 300);
    wirePredictionPanel();
    list1->hide();

    // timers
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setInterval(100);
    tmrAd = new QTimer(this);
    tmrAd->setInterval(8000);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(tmrAd, &QTimer::timeout, this, [this] { tmrAd_Timer(); });
    Timer1->start();

    // events
    connect(SpeakBtn, &QPushButton::clicked, this, [this] { SpeakBtn_Click(); });
    connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtn_Click(); });
    connect(PauseBtn, &QPushButton::clicked, this, [this] { PauseBtn_Click(); });
    connect(ResumeBtn, &QPushButton::clicked, this, [this] { ResumeBtn_Click(); });
    connect(NextBtn, &QPushButton::clicked, this, [this] { NextBtn_Click(); });
    connect(PriewBtn, &QPushButton::clicked, this, [this] { PriewBtn_Click(); });
    connect(VoiceCB, &QComboBox::currentIndexChanged, this, [this] { VoiceCB_Click(); });
    connect(cpvSlider1, &QScrollBar::valueChanged, this, [this] {
        if (cpvSlider1->isSliderDown())
            cpvSlider1_Scroll();
        else
            cpvSlider1_Change();
    });
    connect(cpvSlider1, &QScrollBar::sliderReleased, this, [this] { cpvSlider1_Change(); });
    connect(btnTryVoice, &QPushButton::clicked, this, [this] { btnTryVoice_Click(); });
    connect(CmdMoreVoice, &QPushButton::clicked, this, [this] { CmdMoreVoice_Click(); });
    connect(BtnVoiceSample, &QPushButton::clicked, this, [this] { BtnVoiceSample_Click(); });
    connect(CmdFemaleVoice, &QPushButton::clicked, this, [this] { CmdFemaleVoice_Click(); });
    connect(btnBBC, &QPushButton::clicked, this, [this] { btnBBC_Click(); });
    connect(Btnminibar, &QPushButton::clicked, this, [this] { Btnminibar_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(helpbtn, &QPushButton::clicked, this, [this] { helpbtn_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(ChkLetter, &QCheckBox::clicked, this, [this] { ChkLetter_Click(); });
    connect(ChkWord, &QCheckBox::clicked, this, [this] { ChkWord_Click(); });
    connect(ChkSentence, &QCheckBox::clicked, this, [this] { ChkSentence_Click(); });
    connect(rtfText, &RichTextBox::Change, this, [this] { rtfText_Change(); });
    connect(rtfText, &RichTextBox::SelChange, this, [this] { rtfText_SelChange(); });

    // Everything below the toolbar moves down by what the toolbar needs
    // beyond its design height.
    if (topInset_ > 0) {
        for (QWidget* parent : {static_cast<QWidget*>(this), frameLayer_}) {
            for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (w != tbToolBar && w != frameLayer_)
                    w->move(w->x(), w->y() + topInset_);
            }
        }
    }
    frameLayer_->lower();
}

