// The font and zoom commands and the spell-out markup: they change the
// character format of the active document and keep the document font of
// the settings file (FrmSet) in step.
#include "frmMain.h"

#include "richtext/RichTextBox.h"
#include "frmDocument.h"
#include "frmDocument_p.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/SettingsStore.h"

#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <optional>

namespace {

// The colour of the spell-out tags, RGB(149, 32, 19).
constexpr std::uint32_t kSpellTagColor = 149u | (32u << 8) | (19u << 16);

// Zoom steps, in points, and the sizes beyond which they stop.
constexpr double kZoomStep = 2.0;
constexpr double kZoomInLimit = 40.0;
constexpr double kZoomOutLimit = 8.0;

QString frmSet(const char* key)
{
    return ReadSetting(globals.IniFile, QStringLiteral("FrmSet"), QLatin1String(key), QString());
}

void storeFrmSet(const char* key, const QString& value)
{
    IgnoreErrors([&] { WriteSetting(globals.IniFile, QStringLiteral("FrmSet"), QLatin1String(key), value); });
}

QString boolText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

// A size as a single-precision number in decimal: "12", "10.5".
QString sizeText(double points)
{
    return QString::number(static_cast<double>(static_cast<float>(points)), 'g', 7);
}

// One property of the font dialog: what it was seeded with, and whether
// that came from the selection (the selection has this one value) or, for
// a selection of several values, from the document font of the settings.
template <class T>
struct Seed {
    T value{};
    bool fromSelection = false;

    // Seeds `field` from the selection's value, else from the fallback
    // (the settings), else leaves the dialog's value.
    template <class Fallback>
    void take(T& field, const std::optional<T>& selection, Fallback fallback)
    {
        if (selection) {
            field = *selection;
            fromSelection = true;
        } else {
            IgnoreErrors([&] {
                if (const std::optional<T> f = fallback())
                    field = *f;
            });
        }
        value = field;
    }

    // Whether the dialog's answer goes to the selection: always for a value
    // the selection had; for a mixed one only when the user changed it, so
    // that a cancelled dialog does not flatten the mixed formatting.
    bool applies(const T& answer) const { return fromSelection || !(answer == value); }
};

std::optional<bool> frmSetBool(const char* key)
{
    const QString t = frmSet(key);
    if (t.trimmed().isEmpty())
        return std::nullopt;
    return docwin::TextToBool(t);
}

// The colour of the first selected character (the caret's when nothing is
// selected).
std::uint32_t firstSelectedColor(const RichTextBox* rtf)
{
    QTextCursor c(rtf->document());
    const QTextCursor sel = rtf->textCursor();
    c.setPosition(sel.hasSelection() ? sel.selectionStart() + 1 : sel.position());
    const QBrush brush = c.charFormat().foreground();
    return RichTextBox::toColorref(brush.style() != Qt::NoBrush ? brush.color()
                                                                : rtf->palette().color(QPalette::Text));
}

} // namespace

// ---- Font ----

void frmMain::mnuFormatFont_Click()
{
    CommonDialog& dlg = dlgCommonDialog;
    dlg.owner = this;
    dlg.Flags = 259; // screen and printer fonts, effects

    frmDocument* doc = activeDocument();
    RichTextBox* rtf = doc ? doc->rtfText : nullptr;
    auto sel = [rtf](auto getter) -> decltype((rtf->*getter)()) {
        if (!rtf)
            return std::nullopt;
        return (rtf->*getter)();
    };

    Seed<QString> name;
    Seed<float> size;
    Seed<bool> bold, italic, strike, underline;
    Seed<std::uint32_t> color;
    name.take(dlg.FontName, sel(&RichTextBox::SelFontName), []() -> std::optional<QString> {
        const QString n = frmSet("FontName");
        return n.trimmed().isEmpty() ? std::nullopt : std::optional<QString>(n);
    });
    std::optional<float> selSize;
    if (const std::optional<double> s = sel(&RichTextBox::SelFontSize))
        selSize = static_cast<float>(*s);
    size.take(dlg.FontSize, selSize, []() -> std::optional<float> {
        const double s = docwin::TextToDouble(frmSet("FontSize"));
        return s > 0 ? std::optional<float>(static_cast<float>(s)) : std::nullopt;
    });
    bold.take(dlg.FontBold, sel(&RichTextBox::SelBold), [] { return frmSetBool("FontBold"); });
    italic.take(dlg.FontItalic, sel(&RichTextBox::SelItalic), [] { return frmSetBool("FontItalic"); });
    strike.take(dlg.FontStrikethru, sel(&RichTextBox::SelStrikeThru), [] { return frmSetBool("FontStrikethru"); });
    underline.take(dlg.FontUnderline, sel(&RichTextBox::SelUnderline), [] { return frmSetBool("FontUnderline"); });
    color.take(dlg.Color, sel(&RichTextBox::SelColor), [rtf]() -> std::optional<std::uint32_t> {
        const QString c = frmSet("Color");
        if (!c.trimmed().isEmpty())
            return static_cast<std::uint32_t>(CLng(c));
        if (rtf)
            return firstSelectedColor(rtf);
        return std::nullopt;
    });

    // Cancel keeps the seeded values in the dialog: the steps below run
    // either way.
    IgnoreErrors([&] { dlg.ShowFont(); });

    // The dialog may have been used to close the window or switch the
    // document: apply to the document that was active when it opened.
    if (rtf && activeDocument() == doc) {
        if (name.applies(dlg.FontName))
            IgnoreErrors([&] { rtf->setSelFontName(dlg.FontName); });
        if (size.applies(dlg.FontSize))
            IgnoreErrors([&] { rtf->setSelFontSize(dlg.FontSize); });
        if (bold.applies(dlg.FontBold))
            IgnoreErrors([&] { rtf->setSelBold(dlg.FontBold); });
        if (italic.applies(dlg.FontItalic))
            IgnoreErrors([&] { rtf->setSelItalic(dlg.FontItalic); });
        if (strike.applies(dlg.FontStrikethru))
            IgnoreErrors([&] { rtf->setSelStrikeThru(dlg.FontStrikethru); });
        if (underline.applies(dlg.FontUnderline))
            IgnoreErrors([&] { rtf->setSelUnderline(dlg.FontUnderline); });
        if (color.applies(dlg.Color))
            IgnoreErrors([&] { rtf->setSelColor(dlg.Color); });
    }

    // The document font of new and opened documents. A name or size the
    // dialog never had is not stored.
    if (!dlg.FontName.trimmed().isEmpty())
        storeFrmSet("FontName", dlg.FontName);
    if (dlg.FontSize > 0)
        storeFrmSet("FontSize", sizeText(dlg.FontSize));
    storeFrmSet("FontBold", boolText(dlg.FontBold));
    storeFrmSet("FontItalic", boolText(dlg.FontItalic));
    storeFrmSet("FontStrikethru", boolText(dlg.FontStrikethru));
    storeFrmSet("FontUnderline", boolText(dlg.FontUnderline));
    storeFrmSet("Color", QString::number(static_cast<std::int32_t>(dlg.Color)));
}

// ---- Zoom ----

namespace {

// Grows (+1) or shrinks (-1) the whole text of the active document by one
// step while its size is within the limit; a text of several sizes stays.
void zoom(frmMain* main, int direction)
{
    frmDocument* doc = main->activeDocument();
    if (!doc || !doc->rtfText)
        return;
    RichTextBox* rtf = doc->rtfText;
    IgnoreErrors([&] {
        const int caret = rtf->SelStart();
        rtf->setSelStart(0);
        rtf->setSelLength(rtf->TextLength());
        IgnoreErrors([&] {
            const std::optional<double> size = rtf->SelFontSize();
            if (!size)
                return; // several sizes: neither text nor setting changes
            // The size is that of the look the text shows in, the one
            // stored for documents: an opened file is still saved in its
            // own sizes. A text being read keeps its size.
            RichTextBox::FontAndColor look;
            if (direction > 0 && *size <= kZoomInLimit)
                look.fontSize = *size + kZoomStep;
            else if (direction < 0 && *size >= kZoomOutLimit)
                look.fontSize = *size - kZoomStep;
            if (look.fontSize && !rtf->Locked())
                rtf->SetFontAndColor(look);
            if (const std::optional<double> now = rtf->SelFontSize())
                storeFrmSet("FontSize", sizeText(*now));
        });
        rtf->setSelStart(caret);
        rtf->setSelLength(0);
    });
}

} // namespace

void frmMain::mnuZoomIn_Click()
{
    zoom(this, +1);
}

void frmMain::mnuZoomOut_Click()
{
    zoom(this, -1);
}

// ---- Spell-out markup ----

void frmMain::mnuInsertSpell_Click()
{
    frmDocument* doc = activeDocument();
    if (!doc || !doc->rtfText)
        return;
    RichTextBox* rtf = doc->rtfText;

    // Every character followed by a blank; a line break (CR LF) and a
    // character made of two UTF-16 units each count as one.
    QString spelled;
    IgnoreErrors([&] {
        const QString text = rtf->SelText();
        for (int i = 0; i < text.size(); ++i) {
            spelled += text[i];
            const bool pair = (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                || (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate());
            if (pair)
                spelled += text[++i];
            spelled += u' ';
        }
    });
    // The selection's colour; for a selection of several colours, the first
    // character's.
    std::uint32_t color = 0;
    IgnoreErrors([&] {
        const std::optional<std::uint32_t> c = rtf->SelColor();
        color = c ? *c : firstSelectedColor(rtf);
    });

    IgnoreErrors([&] { rtf->setSelColor(kSpellTagColor); });
    IgnoreErrors([&] { rtf->setSelText(QStringLiteral("<spell>")); });
    IgnoreErrors([&] { rtf->setSelColor(color); });
    IgnoreErrors([&] { rtf->setSelText(spelled); });
    IgnoreErrors([&] { rtf->setSelColor(kSpellTagColor); });
    IgnoreErrors([&] { rtf->setSelText(QStringLiteral("</spell>")); });
    IgnoreErrors([&] { rtf->setSelColor(color); });
}
