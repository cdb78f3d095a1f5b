// The document window's toolbar, its layout and the default text format,
// and the spelling button.
#include "mainwindow/frmDocument.h"

#include "mainwindow/DocumentHost.h"
#include "richtext/RichTextBox.h"
#include "mainwindow/frmDocument_p.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

using namespace docwin;

namespace {

constexpr int kProductName = 2205;

struct ToolbarButtonDesign {
    const char* key;   // null for a separator
    int stringId;      // 0: the caption below stays
    const char* caption;
    const char* toolTip;
    int designImage;   // image the button has before toolbarchange (0: none)
};

// Positions 1..23 in order.
constexpr ToolbarButtonDesign kToolbar[] = {
    {"New", 1018, "", "", 0},
    {"Open", 1019, "", "", 0},
    {"Save", 1020, "", "", 0},
    {nullptr, 0, "", "", 0},
    {"Print", 1022, "", "", 4},
    {nullptr, 0, "", "", 0},
    {"Cut", 1207, "", "", 0},
    {"Copy", 1208, "", "", 0},
    {"Paste", 1209, "", "", 0},
    {nullptr, 0, "", "", 0},
    {"Fonts", 1421, "", "", 8},
    {nullptr, 0, "", "", 0},
    {"Undo", 2209, "", "", 0},
    {nullptr, 0, "", "", 0},
    {"Set", 1109, "", "", 0},
    {nullptr, 0, "", "", 0},
    {"Zi", 0, "Zoom+", "Zoom In", 0},
    {"ZO", 0, "Zoom-", "Zoom Out", 0},
    {nullptr, 0, "", "", 0},
    {"Spelling", 0, "Check", "Spelling Check", 10},
    {nullptr, 0, "", "", 0},
    {"WordP", 0, "Prediction", "Word Prediction", 16},
    {nullptr, 0, "", "", 0},
};

// Images set by toolbarchange: (position, image), in this order.
constexpr std::pair<int, int> kToolbarImages[] = {
    {1, 1}, {2, 2}, {3, 3}, {7, 5}, {8, 6}, {9, 7}, {13, 9}, {15, 20}, {17, 18}, {18, 19},
};

// Height of the toolbar in the design, in twips; the rest of the layout
// is placed below it.
constexpr int kToolbarDesignHeight = 540;

// Positions enabled and disabled by settoolbar.
constexpr int kDocumentButtons[] = {3, 5, 7, 8, 9, 13, 15};

// An image of the list: a standard picture where the desktop has one, else
// a small tile with a short label.
QIcon tileIcon(const QString& label, const QColor& color)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 22, 22), 5, 5);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(label.size() > 2 ? 8 : 11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, label);
    return QIcon(pm);
}

QList<QIcon> makeImageList3()
{
    QStyle* style = QApplication::style();
    const QColor blue(0x25, 0x63, 0xeb);
    const QColor grey(0x94, 0xa3, 0xb8);
    QList<QIcon> list;
    list << QIcon(); // images are numbered from 1
    list << style->standardIcon(QStyle::SP_FileIcon);           // 1 new
    list << style->standardIcon(QStyle::SP_DialogOpenButton);   // 2 open
    list << style->standardIcon(QStyle::SP_DialogSaveButton);   // 3 save
    list << tileIcon(QStringLiteral("Prt"), blue);              // 4 print
    list << tileIcon(QStringLiteral("Cut"), blue);              // 5 cut
    list << tileIcon(QStringLiteral("Cpy"), blue);              // 6 copy
    list << tileIcon(QStringLiteral("Pst"), blue);              // 7 paste
    list << tileIcon(QStringLiteral("A"), blue);                // 8 font
    list << style->standardIcon(QStyle::SP_ArrowBack);          // 9 undo
    list << tileIcon(QStringLiteral("abc"), blue);              // 10 spelling
    list << style->standardIcon(QStyle::SP_MediaPlay);          // 11
    list << style->standardIcon(QStyle::SP_MediaPause);         // 12
    list << style->standardIcon(QStyle::SP_MediaStop);          // 13
    list << style->standardIcon(QStyle::SP_MediaSeekForward);   // 14
    list << style->standardIcon(QStyle::SP_MediaSeekBackward);  // 15
    list << tileIcon(QStringLiteral("W+"), blue);               // 16 prediction on
    list << tileIcon(QStringLiteral("W-"), grey);               // 17 prediction off
    list << tileIcon(QStringLiteral("Z+"), blue);               // 18 zoom in
    list << tileIcon(QStringLiteral("Z-"), blue);               // 19 zoom out
    list << style->standardIcon(QStyle::SP_FileDialogDetailedView); // 20 settings
    return list;
}

DocumentHost* mainWindow()
{
    return DocumentHost::instance();
}

} // namespace

// ---------------------------------------------------------------------------
// Toolbar

void frmDocument::buildToolbar()
{
    ImageList3 = makeImageList3();
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbToolBar->setIconSize(QSize(20, 20));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    int position = 0;
    for (const ToolbarButtonDesign& b : kToolbar) {
        ++position;
        if (!b.key) {
            tbToolBar->addSeparator();
            continue;
        }
        QAction* a = tbToolBar->addAction(QString::fromUtf8(b.caption));
        a->setObjectName(QLatin1String(b.key));
        a->setProperty("Key", QLatin1String(b.key));
        if (b.stringId != 0)
            a->setProperty("Tag", QString::number(b.stringId));
        else
            a->setToolTip(QString::fromUtf8(b.toolTip));
        if (b.designImage != 0)
            setToolbarImage(position, b.designImage);
    }
    // Icons with their captions under them, at the user's font: the bar is
    // as tall as that needs, at least its design height.
    const int designHeight = twipsToPixels(this, kToolbarDesignHeight);
    const int height = std::max(designHeight, tbToolBar->sizeHint().height());
    topInset_ = height - designHeight;
    tbToolBar->setGeometry(0, 0, width(), height);
    connect(tbToolBar, &QToolBar::actionTriggered, this, [this](QAction* a) { tbToolBar_ButtonClick(a); });
}

QAction* frmDocument::toolbarButton(int position) const
{
    const QList<QAction*> actions = tbToolBar->actions();
    if (position < 1 || position > actions.size())
        return nullptr;
    return actions.at(position - 1);
}

int frmDocument::toolbarButtonImage(int position) const
{
    if (position < 1 || position >= int(toolbarImages_.size()))
        return 0;
    return toolbarImages_[position];
}

// Gives the button at a position image `image` of ImageList3; throws when
// there is no such button or image.
void frmDocument::setToolbarImage(int position, int image)
{
    QAction* a = toolbarButton(position);
    if (!a || a->isSeparator() || position >= int(toolbarImages_.size()))
        throw std::out_of_range("Index out of bounds");
    if (image < 1 || image >= ImageList3.size())
        throw std::out_of_range("Index out of bounds");
    a->setIcon(ImageList3.at(image));
    toolbarImages_[position] = image;
}

void frmDocument::tbToolBar_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    const QString key = Button->property("Key").toString();
    DocumentHost* main = mainWindow();
    auto onMain = [&](void (DocumentHost::*command)()) {
        IgnoreErrors([&] {
            if (main)
                (main->*command)();
        });
    };
    if (key == u"New")
        onMain(&DocumentHost::mnuFileNew_Click);
    else if (key == u"Open")
        onMain(&DocumentHost::mnuFileOpen_Click);
    else if (key == u"Save")
        onMain(&DocumentHost::mnuFileSave_Click);
    else if (key == u"Print")
        onMain(&DocumentHost::mnuFilePrint_Click);
    else if (key == u"Cut")
        onMain(&DocumentHost::mnuEditCut_Click);
    else if (key == u"Copy")
        onMain(&DocumentHost::mnuEditCopy_Click);
    else if (key == u"Paste")
        onMain(&DocumentHost::mnuEditPaste_Click);
    else if (key == u"Fonts")
        onMain(&DocumentHost::mnuFormatFont_Click);
    else if (key == u"Undo")
        onMain(&DocumentHost::mnuEditUndo_Click);
    else if (key == u"Set") {
        IgnoreErrors([&] {
            if (StopBtn->isEnabled())
                StopBtn_Click();
        });
        IgnoreErrors([] { ProgramWindows::get().frmSet_ShowModal(); });
    } else if (key == u"Spelling")
        IgnoreErrors([&] { GetSelRange(); });
    else if (key == u"WordP")
        IgnoreErrors([&] { toggleWordPrediction(); });
    // "Zi", "ZO" and anything else: nothing (zoom is in the main window's menu)
}

void frmDocument::toggleWordPrediction()
{
    bool on = true;
    try {
        on = TextToBool(ReadSetting(globals.IniFile, QStringLiteral("FrmSet"), QStringLiteral("WordPrediction"),
                                    QStringLiteral("True")));
    } catch (const std::invalid_argument&) {
        on = true; // a text that is no Boolean counts as on
    }
    if (on) {
        IgnoreErrors([&] { setToolbarImage(22, 17); });
        IgnoreErrors([] {
            WriteSetting(globals.IniFile, QStringLiteral("FrmSet"), QStringLiteral("WordPrediction"), QStringLiteral("False"));
        });
        predictionState.WordPredictionOn = false;
        list1->hide();
    } else {
        IgnoreErrors([&] { setToolbarImage(22, 16); });
        IgnoreErrors([] {
            WriteSetting(globals.IniFile, QStringLiteral("FrmSet"), QStringLiteral("WordPrediction"), QStringLiteral("True"));
        });
        predictionState.WordPredictionOn = true;
    }
}

void frmDocument::toolbarchange()
{
    for (const auto& [position, image] : kToolbarImages)
        setToolbarImage(position, image);
}

void frmDocument::settoolbar(bool found)
{
    for (int position : kDocumentButtons) {
        QAction* a = toolbarButton(position);
        if (!a)
            throw std::out_of_range("Index out of bounds");
        a->setEnabled(found);
    }
}

// ---------------------------------------------------------------------------
// Layout

void frmDocument::control_pos()
{
    const auto tw = [this](int px) { return pixelsToTwips(this, px); };
    const auto px = [this](int twips) { return twipsToPixels(this, twips); };
    // Tops count from the design top of the window: the toolbar's extra
    // height lies above it.
    const int SW = tw(width());
    const int SH = tw(height() - topInset_);
    // Frame pictures are ordered among themselves, beneath the controls.
    const auto toFront = [](QWidget* w) { w->raise(); };
    const auto setLeft = [&](QWidget* w, int twips) { w->move(px(twips), w->y()); };
    const auto setTop = [&](QWidget* w, int twips) { w->move(w->x(), px(twips) + topInset_); };
    const auto topOf = [&](QWidget* w) { return tw(w->y() - topInset_); };
    // A negative size is refused: the control keeps its old one.
    const auto setWidth = [&](QWidget* w, int twips) {
        if (twips < 0)
            throw std::invalid_argument("Invalid property value");
        w->resize(px(twips), w->height());
    };
    const auto setHeight = [&](QWidget* w, int twips) {
        if (twips < 0)
            throw std::invalid_argument("Invalid property value");
        w->resize(w->width(), px(twips));
    };
    const auto heightOf = [&](QWidget* w) { return tw(w->height()); };
    const auto widthOf = [&](QWidget* w) { return tw(w->width()); };

    IgnoreErrors([&] { toFront(rtfText); });
    IgnoreErrors([&] {
        setLeft(ImgButton, 330);
        setTop(ImgButton, 1560);
    });
    IgnoreErrors([&] { toFront(PicEchoOptions); });
    IgnoreErrors([&] {
        setTop(ImgLeftBottom, SH - heightOf(ImgLeftBottom) - 5);
        toFront(ImgLeftBottom);
    });
    IgnoreErrors([&] {
        setTop(ImgMidtop, 550);
        // The strip behind the voice controls spans the window.
        setWidth(ImgMidtop, SW);
        toFront(ImgMidtop);
    });
    IgnoreErrors([&] {
        setTop(ImgLeftTop, 550);
        toFront(ImgLeftTop);
    });
    IgnoreErrors([&] {
        setTop(ImgRightTop, topOf(ImgLeftTop));
        setLeft(ImgRightTop, SW - widthOf(ImgRightTop));
        toFront(ImgRightTop);
    });
    IgnoreErrors([&] {
        setTop(ImgMidBtm, SH - heightOf(ImgMidBtm));
        // The outer width: the child frame's when the window has one.
        int outer = frameGeometry().width();
        for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
                outer = sub->width();
                break;
            }
        }
        setWidth(ImgMidBtm, tw(outer));
        // Position 99 is not "front" (0): the picture goes to the back.
        ImgMidBtm->lower();
    });
    IgnoreErrors([&] {
        setTop(ImgRightBtm, SH - heightOf(ImgRightBtm));
        setLeft(ImgRightBtm, SW - widthOf(ImgRightBtm));
        toFront(ImgRightBtm);
    });
    // The side strips run from the top band down to the bottom band, the
    // right one along the right edge; the bottom line spans between them.
    IgnoreErrors([&] {
        setTop(ImgLeftMId, 1680);
        setHeight(ImgLeftMId, SH - 1000 - 1680);
    });
    IgnoreErrors([&] {
        setLeft(ImgrightMid, SW - widthOf(ImgrightMid));
        setTop(ImgrightMid, 1680);
        setHeight(ImgrightMid, SH - 1000 - 1680);
    });
    IgnoreErrors([&] {
        setTop(ImgMidBottom, SH - 1000);
        setWidth(ImgMidBottom, SW - 660);
    });
    IgnoreErrors([&] { toFront(ImgButton); });
    IgnoreErrors([&] {
        toFront(rtfText);
        IgnoreErrors([&] { setTop(rtfText, 1680); });
        IgnoreErrors([&] { setWidth(rtfText, SW - tw(rtfText->x()) - widthOf(ImgrightMid)); });
        IgnoreErrors([&] { setHeight(rtfText, SH - topOf(rtfText) - 1000); });
    });
    IgnoreErrors([&] {
        setLeft(Btnminibar, SW - 2500);
        setTop(Btnminibar, SH - 800);
        toFront(Btnminibar);
    });
    IgnoreErrors([&] {
        setLeft(BtnVoiceSample, 2970);
        setTop(BtnVoiceSample, SH - 900);
        toFront(BtnVoiceSample);
    });
    IgnoreErrors([&] {
        setLeft(CmdFemaleVoice, 3910);
        setTop(CmdFemaleVoice, SH - 900);
        toFront(CmdFemaleVoice);
    });
    IgnoreErrors([&] {
        setLeft(CmdMoreVoice, 5035);
        setTop(CmdMoreVoice, SH - 900);
        toFront(CmdMoreVoice);
    });
    IgnoreErrors([&] {
        setLeft(btnBBC, 6900);
        setTop(btnBBC, SH - 705);
        toFront(btnBBC);
    });
    IgnoreErrors([&] {
        setLeft(lblAd, 6500);
        setTop(lblAd, 600);
        toFront(lblAd);
    });
    IgnoreErrors([&] { toFront(BtnVoiceSample); });
    IgnoreErrors([&] {
        toFront(Picfeedback);
        toFront(list1);
    });
    // Voice names and captions show whole: a control narrower than what it
    // shows (a long voice name, a skin's padding, a larger font) grows to the
    // right.
    const std::initializer_list<QWidget*> shown = {VoiceCB, btnTryVoice, PicEchoOptions, BtnVoiceSample,
                                                   CmdFemaleVoice, CmdMoreVoice, btnBBC};
    for (QWidget* w : shown)
        IgnoreErrors([&] { w->resize(w->size().expandedTo(w->sizeHint())); });
}

void frmDocument::control_pos2()
{
}

void frmDocument::ShowEditBar()
{
    if (view_status != 1)
        return;
    EditBarState = 0;
    control_pos();
}

// ---------------------------------------------------------------------------
// Text format

void frmDocument::readConfiguredLook(RichTextBox::FontAndColor& look) const
{
    auto frmSet = [](const char* key, const char* def) {
        return ReadSetting(globals.IniFile, QStringLiteral("FrmSet"), QLatin1String(key), QLatin1String(def));
    };
    look.color = static_cast<std::uint32_t>(CLng(frmSet("Color", "0")));
    look.fontName = frmSet("FontName", "Arial");
    look.fontSize = TextToDouble(frmSet("FontSize", "12"));
    look.bold = TextToBool(frmSet("FontBold", "True"));
    look.italic = TextToBool(frmSet("FontItalic", "True"));
    look.strikeThru = TextToBool(frmSet("FontStrikethru", "True"));
    look.underline = TextToBool(frmSet("FontUnderline", "True"));
}

// The text is not selected for this: selecting all of a long text lays it
// all out at once.
void frmDocument::setrtfformat()
{
    RichTextBox::FontAndColor look;
    try {
        readConfiguredLook(look);
    } catch (...) {
        rtfText->SetFontAndColor(look);
        throw;
    }
    rtfText->SetFontAndColor(look);
    rtfText->setSelStart(0);
}

// ---------------------------------------------------------------------------
// Spelling

void frmDocument::GetSelRange()
{
    SpellStart = rtfText->SelStart();
    if (rtfText->SelLength() != 0)
        SpellEnd = SpellStart + rtfText->SelLength();
    else
        SpellEnd = rtfText->TextLength();
    CheckSpellingRange(SpellStart, SpellEnd);
}

void frmDocument::CheckSpellingRange(std::int32_t /*start*/, std::int32_t /*end*/)
{
}

void frmDocument::ShowSpellCheckResult(std::int16_t cancelled)
{
    const QString twoBreaks = QStringLiteral("\r\n\r\n");
    if (cancelled != 0) {
        MsgBox(QStringLiteral("Spelling Check Cancelled.") + twoBreaks, vbOKOnly, QString(), this);
        return;
    }
    if (SpellStart != 0) {
        const int answer = MsgBox(
            QStringLiteral("Spelling Check Completed in the selection, do you want to continue checking from the start?"),
            vbYesNoCancel + vbQuestion, LoadResString(kProductName), this);
        if (answer == vbYes) {
            const std::int32_t oldStart = SpellStart;
            SpellStart = 0;
            CheckSpellingRange(0, oldStart);
        }
        return;
    }
    MsgBox(QStringLiteral("Spelling Check Completed.") + twoBreaks, vbOKOnly, QString(), this);
}
