// frmSet: loading, the page switching, the storing check boxes, the
// quality and font pages' reactions, OK and Cancel.
#include "floatingbar/frmSet.h"

#include "core/Conversions.h"
#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "mainwindow/CommonDialog.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVariantMap>

#include <cmath>
#include <stdexcept>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");
const QString kFrmSet = QStringLiteral("FrmSet");

QString read(const QString& section, const QString& key, const QString& def)
{
    return ReadSetting(globals.SettingsFile, section, key, def);
}

void write(const QString& section, const QString& key, const QString& value)
{
    WriteSetting(globals.SettingsFile, section, key, value);
}

// "True"/"False" in any case, or a number (non-zero is true); throws otherwise.
bool toBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw std::invalid_argument("not a truth value");
    return v != 0.0;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString stateText(const QCheckBox* box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// Sets a box from a stored 0/1 value; anything but 0 checks it.
void setBox(QCheckBox* box, const QString& stored)
{
    box->setChecked(RoundedInt(stored) != 0);
}

// Selects an exact item of a list; a text not in the list changes nothing.
void setListText(QComboBox* list, const QString& text)
{
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        throw std::invalid_argument("not in the list");
    list->setCurrentIndex(index);
}

void setListIndex(QComboBox* list, int index)
{
    if (index < -1 || index >= list->count())
        throw std::out_of_range("list index");
    list->setCurrentIndex(index);
}

QColor fromColorRef(std::uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

std::uint32_t toColorRef(const QColor& c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

struct SampleFont {
    QString name;
    double size = 12.0;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool underline = false;
    std::uint32_t color = 0;
};

SampleFont sampleFont(const QTextEdit* sample)
{
    QTextCursor cursor = sample->textCursor();
    const QTextCharFormat f = cursor.charFormat();
    SampleFont font;
    font.name = f.fontFamilies().toStringList().value(0);
    font.size = f.fontPointSize();
    font.bold = f.fontWeight() >= QFont::Bold;
    font.italic = f.fontItalic();
    font.strike = f.fontStrikeOut();
    font.underline = f.fontUnderline();
    font.color = toColorRef(f.foreground().color());
    return font;
}

// Selects from the current start to the end of the text and gives the
// selection the font.
void applySampleFont(QTextEdit* sample, const SampleFont& font)
{
    QTextCursor cursor = sample->textCursor();
    const int start = std::min(cursor.selectionStart(), cursor.selectionEnd());
    cursor.setPosition(start);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontFamilies(QStringList{font.name});
    if (font.size > 0)
        f.setFontPointSize(font.size);
    f.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic);
    f.setFontStrikeOut(font.strike);
    f.setFontUnderline(font.underline);
    f.setForeground(fromColorRef(font.color));
    cursor.setCharFormat(f);
    sample->setTextCursor(cursor);
}

template <class F>
void storing(F&& step)
{
    try {
        step();
    } catch (const SettingsError& e) {
        ReportStoreFailure(e);
    }
}

} // namespace

// ---- loading ----

void frmSet::Form_Load()
{
    IgnoreErrors([&] { LoadFormStrings(this); });
    bringToFront(PicTTS);
    IgnoreErrors([&] {
        // After "Font" and "HotKey": the fifth and sixth tabs, before "ToolBars".
        TabStrip1->insertTab(4, QStringLiteral("Typing Echo"));
        TabStrip1->setTabData(4, QVariantMap{{QStringLiteral("Key"), QStringLiteral("Typing Echo")}});
        TabStrip1->insertTab(5, QStringLiteral("Spelling"));
        TabStrip1->setTabData(5, QVariantMap{{QStringLiteral("Key"), QStringLiteral("Spelling")}});
        TabStrip1->setCurrentIndex(0);
    });
    IgnoreErrors([&] {
        const int speed = RoundedInt(read(kReadSet, QStringLiteral("Speed"), QStringLiteral("0")));
        if (speed < HsSpeed->minimum() || speed > HsSpeed->maximum())
            throw std::out_of_range("speed");
        HsSpeed->setValue(speed);
    });
    Label28->setText(QString::number(HsSpeed->value()));
    IgnoreErrors([&] { FillReaders(); });
    IgnoreErrors([&] { setBox(ChkPunctuation, read(kReadSet, QStringLiteral("PunctuationTag"), QStringLiteral("0"))); });
    loadQualityPage();
    loadFontSample();
    for (int i = 0; i < 7; ++i)
        FillHotkeyKeys(i);
    loadHotkeyRows();
    IgnoreErrors([&] { setBox(ChkWordbar, read(kFrmSet, QStringLiteral("isshowWord"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(ChkPPTbar, read(kFrmSet, QStringLiteral("isshowPP"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(ChkOutlookbar, read(kFrmSet, QStringLiteral("isshowOutlook"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(ChkIEbar, read(kFrmSet, QStringLiteral("isshowIE"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(chkkeypress, read(kReadSet, QStringLiteral("KEYREAD"), QStringLiteral("0"))); });
    IgnoreErrors([&] {
        ChkPrediction->setChecked(read(kFrmSet, QStringLiteral("WordPrediction"), QStringLiteral("True")) == u"True");
    });
    IgnoreErrors([&] { showTypingEchoOptions(chkkeypress->isChecked()); });
    IgnoreErrors([&] { setBox(chkIgnoreNum, read(kFrmSet, QStringLiteral("IgnoreNumTag"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(chkIgnoreUp, read(kFrmSet, QStringLiteral("IgnoreUpTag"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(chkSuggest, read(kFrmSet, QStringLiteral("chkSuggestTag"), QStringLiteral("1"))); });
    IgnoreErrors([&] { setBox(chkIgnoreMixed, read(kFrmSet, QStringLiteral("IgnoreMixedTag"), QStringLiteral("1"))); });
    // "Check while typing" shows its stored value like the other spelling
    // boxes, whether typing echo is on or not.
    IgnoreErrors([&] {
        CheckWhileTyping = RoundedInt(read(kFrmSet, QStringLiteral("chkwhiletypeTag"), QStringLiteral("1"))) != 0;
        chkwhiletype->setChecked(CheckWhileTyping);
    });
}

// Typing echo on: show the three sub-options with their stored states;
// off: hide them (their keys are not read).
void frmSet::showTypingEchoOptions(bool on)
{
    const std::pair<QCheckBox*, const char*> options[] = {
        {ChkLetter, "READ_LETTER"}, {ChkWord, "READ_WORD"}, {ChkSentence, "READ_SENTENCE"}};
    for (const auto& [b, key] : options) {
        b->setVisible(on);
        if (on)
            IgnoreErrors([&] { setBox(b, read(kReadSet, QLatin1String(key), QStringLiteral("0"))); });
    }
}

void frmSet::FillReaders()
{
    VoiceCB->clear();
    const QStringList pieces = read(kReadSet, QStringLiteral("Readers"), QString()).split(QLatin1Char(';'));
    // The piece after the last ";" is not a voice.
    for (int i = 0; i + 1 < pieces.size(); ++i)
        VoiceCB->addItem(pieces.at(i));
    VoiceCB->setCurrentIndex(-1);
    IgnoreErrors([&] { setListIndex(VoiceCB, RoundedInt(read(kReadSet, QStringLiteral("Reader"), QStringLiteral("0")))); });
    if (VoiceCB->currentText().isEmpty() && VoiceCB->count() > 0)
        VoiceCB->setCurrentIndex(0);
}

void frmSet::FillAudioFormats()
{
    FormatCB->addItems(AudioFormatNames());
    FormatCB->setCurrentIndex(-1);
}

void frmSet::FillHotkeyKeys(int Index)
{
    ComboKey.at(std::size_t(Index))->addItems(HotkeyKeyNames());
    ComboKey.at(std::size_t(Index))->setCurrentIndex(-1);
}

void frmSet::loadQualityPage()
{
    IgnoreErrors([&] { FillAudioFormats(); });
    IgnoreErrors([&] { setListText(FormatCB, read(kReadSet, QStringLiteral("Format"), QStringLiteral("SAFT48kHz16BitStereo"))); });
    IgnoreErrors([&] {
        const int step = RoundedInt(read(kReadSet, QStringLiteral("MP3Ogg"), QStringLiteral("9")));
        if (step < Slider1->minimum() || step > Slider1->maximum())
            throw std::out_of_range("slider step");
        Slider1->setValue(step);
    });
    IgnoreErrors([&] { setBox(ChkMP3ogg, read(kFrmSet, QStringLiteral("ChkMP3ogg"), QStringLiteral("0"))); });
    Slider1->setEnabled(ChkMP3ogg->isChecked());
    LblBitrate->setText(BitrateText(Slider1->value()));
    QualityCB->clear();
    QualityCB->addItems({QStringLiteral("High"), QStringLiteral("Normal"), QStringLiteral("Low")});
    QualityCB->setCurrentIndex(0);
    IgnoreErrors([&] {
        bool ok = false;
        const double option = read(kReadSet, QStringLiteral("OptionControl"), QStringLiteral("0")).trimmed().toDouble(&ok);
        if (!ok)
            throw std::invalid_argument("option");
        if (option == 0.0) {
            OptionQality[0]->setChecked(true);
            OptionQality_Click(0);
            setListIndex(QualityCB, RoundedInt(read(kReadSet, QStringLiteral("SimplyControl"), QStringLiteral("0"))));
            showSimpleFormat();
        } else {
            OptionQality[1]->setChecked(true);
            OptionQality_Click(1);
        }
    });
}

void frmSet::loadFontSample()
{
    IgnoreErrors([&] {
        QTextCursor cursor = RichTextBox1->textCursor();
        cursor.setPosition(0);
        RichTextBox1->setTextCursor(cursor);
        SampleFont font = sampleFont(RichTextBox1);
        IgnoreErrors([&] { font.name = read(kFrmSet, QStringLiteral("FontName"), QStringLiteral("Arial")); });
        IgnoreErrors([&] {
            bool ok = false;
            const double size = read(kFrmSet, QStringLiteral("FontSize"), QStringLiteral("12")).trimmed().toDouble(&ok);
            if (ok && size > 0 && size <= 1638)
                font.size = size;
        });
        IgnoreErrors([&] { font.bold = toBool(read(kFrmSet, QStringLiteral("FontBold"), QStringLiteral("True"))); });
        IgnoreErrors([&] { font.italic = toBool(read(kFrmSet, QStringLiteral("FontItalic"), QStringLiteral("True"))); });
        IgnoreErrors([&] { font.strike = toBool(read(kFrmSet, QStringLiteral("FontStrikethru"), QStringLiteral("True"))); });
        IgnoreErrors([&] { font.underline = toBool(read(kFrmSet, QStringLiteral("FontUnderline"), QStringLiteral("True"))); });
        IgnoreErrors([&] {
            font.color = std::uint32_t(std::llround(read(kFrmSet, QStringLiteral("Color"), QStringLiteral("0")).toDouble()))
                & 0xFFFFFFu;
        });
        applySampleFont(RichTextBox1, font);
    });
    updateFontLabels();
}

void frmSet::updateFontLabels()
{
    const SampleFont font = sampleFont(RichTextBox1);
    slblFontName->setText(font.name);
    QString style;
    if (font.bold)
        style += QStringLiteral("Bold     ");
    if (font.italic)
        style += QStringLiteral("Italic     ");
    if (font.strike)
        style += QStringLiteral("StrikeThru     ");
    if (font.underline)
        style += QStringLiteral("Underline     ");
    slblFontStyle->setText(style);
    slblFontSize->setText(QString::number(font.size));
}

void frmSet::loadHotkeyRows()
{
    for (int n = 1; n <= 7; ++n) {
        IgnoreErrors([&] {
            const std::size_t i = std::size_t(n - 1);
            const QStringList pieces =
                read(kReadSet, QStringLiteral("HotKey%1").arg(n), QStringLiteral("Ctrl+Add")).split(QLatin1Char('+'));
            for (const QString& piece : pieces) {
                if (piece == u"Ctrl")
                    CheckCtrl[i]->setChecked(true);
                else if (piece == u"Shift")
                    CheckShift[i]->setChecked(true);
                else if (piece == u"Alt")
                    CheckArt[i]->setChecked(true);
            }
            setListText(ComboKey[i], pieces.last());
        });
    }
}

// ---- page switching, speed, quality and font ----

void frmSet::TabStrip1_Click()
{
    const int index = TabStrip1->currentIndex();
    if (index < 0)
        return;
    const QString caption = TabStrip1->tabText(index);
    const std::pair<QString, QWidget*> targets[] = {
        {LoadResString(1129), PicTTS},          {LoadResString(1421), PicFonts},
        {LoadResString(5046), PicHotkey},       {QStringLiteral("ToolBars"), PicToolbar},
        {QStringLiteral("Typing Echo"), PicKeypress}, {QStringLiteral("Spelling"), PicSpelling},
        {QStringLiteral("Text to MP3"), PicTTMP3},
    };
    for (const auto& [text, page] : targets) {
        if (caption == text) {
            bringToFront(page);
            return;
        }
    }
}

void frmSet::HsSpeed_Change()
{
    Label28->setText(QString::number(HsSpeed->value()));
}

void frmSet::OptionQality_Click(int /*Index*/)
{
    const bool simple = OptionQality[0]->isChecked();
    FormatCB->setEnabled(!simple);
    ChkMP3ogg->setEnabled(!simple);
    Slider1->setEnabled(!simple && ChkMP3ogg->isChecked());
    QualityCB->setEnabled(simple);
    showSimpleFormat();
}

void frmSet::showSimpleFormat()
{
    if (OptionQality[0]->isChecked())
        IgnoreErrors([&] { setListText(FormatCB, SimpleQuality(QualityCB->currentIndex()).first); });
}

void frmSet::Slider1_Scroll()
{
    int kbit = 0;
    BitrateFromSlider(Slider1->value(), kbit);
    LblBitrate->setText(BitrateText(Slider1->value()));
    Slider1->setToolTip(QString::number(kbit));
}

void frmSet::ChkMP3ogg_Click()
{
    storing([&] { write(kFrmSet, QStringLiteral("ChkMP3ogg"), stateText(ChkMP3ogg)); });
    if (!ChkMP3ogg->isChecked()) {
        Slider1->setValue(9);
        LblBitrate->setText(BitrateText(9));
    }
    Slider1->setEnabled(ChkMP3ogg->isChecked());
}

void frmSet::CmdFormatFont_Click()
{
    CommonDialog& dlg = *CommonDialog1;
    IgnoreErrors([&] { dlg.Flags = 259; });
    IgnoreErrors([&] {
        const SampleFont font = sampleFont(RichTextBox1);
        dlg.FontName = font.name;
        dlg.FontSize = float(font.size);
        dlg.FontBold = font.bold;
        dlg.FontItalic = font.italic;
        dlg.FontStrikethru = font.strike;
        dlg.FontUnderline = font.underline;
        dlg.Color = font.color;
    });
    IgnoreErrors([&] { dlg.ShowFont(); });
    IgnoreErrors([&] {
        SampleFont font;
        font.name = dlg.FontName;
        font.size = double(dlg.FontSize);
        font.bold = dlg.FontBold;
        font.italic = dlg.FontItalic;
        font.strike = dlg.FontStrikethru;
        font.underline = dlg.FontUnderline;
        font.color = dlg.Color & 0xFFFFFFu;
        applySampleFont(RichTextBox1, font);
    });
    IgnoreErrors([&] { updateFontLabels(); });
}

// ---- the check boxes that store at once ----

void frmSet::ChkWordbar_Click() { storing([&] { write(kFrmSet, QStringLiteral("isshowWord"), stateText(ChkWordbar)); }); }
void frmSet::ChkPPTbar_Click() { storing([&] { write(kFrmSet, QStringLiteral("isshowPP"), stateText(ChkPPTbar)); }); }
void frmSet::ChkOutlookbar_Click() { storing([&] { write(kFrmSet, QStringLiteral("isshowOutlook"), stateText(ChkOutlookbar)); }); }
void frmSet::ChkIEbar_Click() { storing([&] { write(kFrmSet, QStringLiteral("isshowIE"), stateText(ChkIEbar)); }); }
void frmSet::ChkPrediction_Click()
{
    storing([&] { write(kFrmSet, QStringLiteral("WordPrediction"), boolText(ChkPrediction->isChecked())); });
}
void frmSet::chkIgnoreMixed_Click() { storing([&] { write(kFrmSet, QStringLiteral("IgnoreMixedTag"), stateText(chkIgnoreMixed)); }); }
void frmSet::chkIgnoreNum_Click() { storing([&] { write(kFrmSet, QStringLiteral("IgnoreNumTag"), stateText(chkIgnoreNum)); }); }
void frmSet::chkIgnoreUp_Click() { storing([&] { write(kFrmSet, QStringLiteral("IgnoreUpTag"), stateText(chkIgnoreUp)); }); }
void frmSet::chkSuggest_Click() { storing([&] { write(kFrmSet, QStringLiteral("chkSuggestTag"), stateText(chkSuggest)); }); }
void frmSet::chkwhiletype_Click()
{
    storing([&] { write(kFrmSet, QStringLiteral("chkwhiletypeTag"), stateText(chkwhiletype)); });
    CheckWhileTyping = chkwhiletype->isChecked();
}
void frmSet::chkkeypress_Click()
{
    storing([&] { write(kReadSet, QStringLiteral("KEYREAD"), stateText(chkkeypress)); });
    showTypingEchoOptions(chkkeypress->isChecked());
}
void frmSet::ChkLetter_Click() { storing([&] { write(kReadSet, QStringLiteral("READ_LETTER"), stateText(ChkLetter)); }); }
void frmSet::ChkWord_Click() { storing([&] { write(kReadSet, QStringLiteral("READ_WORD"), stateText(ChkWord)); }); }
void frmSet::ChkSentence_Click() { storing([&] { write(kReadSet, QStringLiteral("READ_SENTENCE"), stateText(ChkSentence)); }); }
void frmSet::ChkPunctuation_Click()
{
    storing([&] { write(kReadSet, QStringLiteral("PunctuationTag"), stateText(ChkPunctuation)); });
}

// ---- OK and Cancel ----

QString frmSet::hotkeyText(int row) const
{
    const std::size_t i = std::size_t(row - 1);
    QString text;
    if (CheckCtrl.at(i)->isChecked())
        text = QStringLiteral("Ctrl+");
    if (CheckShift.at(i)->isChecked())
        text += QStringLiteral("Shift+");
    if (CheckArt.at(i)->isChecked())
        text += QStringLiteral("Alt+");
    return text + ComboKey.at(i)->currentText();
}

void frmSet::Cmdok_Click()
{
    QStringList texts;
    for (int n = 1; n <= 7; ++n)
        texts << hotkeyText(n);
    for (int i = 0; i < 6; ++i) {
        for (int j = i + 1; j < 7; ++j) {
            if (texts.at(j) == texts.at(i)) {
                MsgBox(LoadResString(5204), vbOKOnly);
                // Show the user the rows to correct.
                TabStrip1->setCurrentIndex(3);
                bringToFront(PicHotkey);
                return;
            }
        }
    }
    try {
        for (int n = 1; n <= 7; ++n)
            write(kReadSet, QStringLiteral("HotKey%1").arg(n), texts.at(n - 1));
        SpeechController::get().Sethotkeys();

        write(kReadSet, QStringLiteral("PunctuationTag"), stateText(ChkPunctuation));
        const SampleFont font = sampleFont(RichTextBox1);
        write(kFrmSet, QStringLiteral("FontName"), font.name);
        write(kFrmSet, QStringLiteral("FontSize"), QString::number(font.size));
        write(kFrmSet, QStringLiteral("FontBold"), boolText(font.bold));
        write(kFrmSet, QStringLiteral("FontItalic"), boolText(font.italic));
        write(kFrmSet, QStringLiteral("FontStrikethru"), boolText(font.strike));
        write(kFrmSet, QStringLiteral("FontUnderline"), boolText(font.underline));
        write(kFrmSet, QStringLiteral("Color"), QString::number(font.color));
        write(kReadSet, QStringLiteral("Reader"), QString::number(VoiceCB->currentIndex()));
        write(kReadSet, QStringLiteral("Speed"), QString::number(HsSpeed->value()));
        if (OptionQality[0]->isChecked()) {
            const int quality = QualityCB->currentIndex();
            const auto [format, step] = SimpleQuality(quality);
            write(kReadSet, QStringLiteral("Format"), format);
            write(kReadSet, QStringLiteral("MP3Ogg"), step);
            write(kReadSet, QStringLiteral("OptionControl"), QStringLiteral("0"));
            write(kReadSet, QStringLiteral("SimplyControl"), QString::number(quality));
        } else {
            write(kReadSet, QStringLiteral("Format"), FormatCB->currentText());
            write(kReadSet, QStringLiteral("MP3Ogg"), QString::number(Slider1->value()));
            write(kReadSet, QStringLiteral("OptionControl"), QStringLiteral("1"));
        }
        ProgramWindows::get().ActiveForm_ApplySettings(chkkeypress->isChecked(), ChkPrediction->isChecked());
    } catch (const SettingsError& e) {
        // What was done stays done; the dialog stays open.
        ReportStoreFailure(e);
        return;
    } catch (const std::exception& e) {
        // A stored value the document window cannot take: likewise.
        MsgBox(QStringLiteral("The settings could not be applied:\n%1").arg(QString::fromLocal8Bit(e.what())),
               vbOKOnly + vbExclamation);
        return;
    }
    readingState.usePunctuationMode(ChkPunctuation->isChecked() ? 1 : 0);
    accept();
}

void frmSet::Cmdcancel_Click()
{
    reject();
}
