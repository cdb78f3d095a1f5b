#include "frmFind.h"

#include "DocumentHost.h"
#include "richtext/RichTextBox.h"
#include "frmDocument.h"

#include "core/FormStrings.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/StringTable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringMatcher>

#include <algorithm>
#include <vector>

namespace {

// String ids of the window's texts and messages.
constexpr int kFindNext = 2059;      // "&Find Next"
constexpr int kFind = 2060;          // "&Find"
constexpr int kTextNotFound = 2056;  // "Text not found"
constexpr int kRegionSearched = 2057; // "The specified region has been searched."
constexpr int kReplacementsMade = 2058; // " replacements have been made."
constexpr int kProductName = 2205;   // message box title

// Characters that make up a word for the whole-word option; the same rule
// as RichTextBox::Find.
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate() || c == u'_';
}

// The match found is shown in the document, which takes the keyboard focus:
// its window becomes the active one (this window stays over it).
void focusDocument(RichTextBox* box)
{
    box->activateWindow();
    box->setFocus();
}

void showMessage(QWidget* parent, const QString& prompt)
{
    MsgBox(prompt, vbOKOnly, LoadResString(kProductName), parent);
}

} // namespace

QPointer<frmFind> frmFind::s_instance;

frmFind::frmFind(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find and Replace"));
    setModal(false);

    // Laid out at 96 dpi; Form_Load scales the window and its buttons.
    auto label = [this](QLabel*& l, const char* name, const char* tag, const QRect& r) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setProperty("Tag", QString::fromLatin1(tag));
        l->setText(QString::fromLatin1(tag));
        l->setGeometry(r);
    };
    auto edit = [this](QLineEdit*& e, const char* name, const QRect& r) {
        e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(r);
    };
    auto check = [this](QCheckBox*& c, const char* name, const char* tag, const QRect& r) {
        c = new QCheckBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setProperty("Tag", QString::fromLatin1(tag));
        c->setText(QString::fromLatin1(tag));
        c->setGeometry(r);
    };
    auto button = [this](QPushButton*& b, const char* name, const char* tag, const QRect& r) {
        b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setProperty("Tag", QString::fromLatin1(tag));
        b->setText(QString::fromLatin1(tag));
        b->setGeometry(r);
    };

    label(lblFind, "lblFind", "2067", QRect(12, 16, 96, 20));
    edit(txtFind, "txtFind", QRect(112, 14, 216, 24));
    label(lblReplace, "lblReplace", "2063", QRect(12, 50, 96, 20));
    edit(txtReplace, "txtReplace", QRect(112, 48, 216, 24));
    check(chkMatchCase, "chkMatchCase", "2065", QRect(12, 88, 316, 22));
    check(chkWholeWord, "chkWholeWord", "2064", QRect(12, 114, 316, 22));
    button(cmdFind, "cmdFind", "2060", QRect(344, 12, 120, 28));
    button(cmdReplace, "cmdReplace", "2061", QRect(344, 46, 120, 28));
    button(cmdReplaceAll, "cmdReplaceAll", "2062", QRect(344, 80, 120, 28));
    button(Cmdcancel, "Cmdcancel", "2066", QRect(344, 114, 120, 28));
    cmdFind->setDefault(true);
    resize(478, 154);

    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });
    connect(cmdReplaceAll, &QPushButton::clicked, this, [this] { cmdReplaceAll_Click(); });
    connect(Cmdcancel, &QPushButton::clicked, this, [this] { Cmdcancel_Click(); });

    Form_Load();
}

frmFind::~frmFind()
{
    if (s_instance == this)
        s_instance = nullptr;
}

frmFind* frmFind::ShowFind(QWidget* owner)
{
    if (!s_instance) {
        s_instance = new frmFind(owner);
        s_instance->setAttribute(Qt::WA_DeleteOnClose);
        // A new window opens over the middle of its owner, on the screen.
        if (owner) {
            QRect place(QPoint(), s_instance->size());
            place.moveCenter(owner->window()->frameGeometry().center());
            if (const QScreen* screen = owner->screen()) {
                const QRect room = screen->availableGeometry();
                place.moveLeft(std::clamp(place.left(), room.left(), std::max(room.left(), room.right() - place.width())));
                place.moveTop(std::clamp(place.top(), room.top(), std::max(room.top(), room.bottom() - place.height())));
            }
            s_instance->move(place.topLeft());
        }
    }
    frmFind* f = s_instance.data();
    f->show();
    f->raise();
    f->activateWindow();
    return f;
}

frmFind* frmFind::instance()
{
    return s_instance.data();
}

void frmFind::Form_Load()
{
    LoadFormStrings(this);
    IgnoreErrors([&] { ScaleToDpi(this); });
    for (QPushButton* b : findChildren<QPushButton*>())
        IgnoreErrors([&] { ScaleToDpi(b); });
}

void frmFind::Cmdcancel_Click()
{
    close();
}

int frmFind::SearchOptions() const
{
    int options = 0;
    if (chkWholeWord->isChecked())
        options += RichTextBox::rtfWholeWord;
    if (chkMatchCase->isChecked())
        options += RichTextBox::rtfMatchCase;
    return options;
}

bool frmFind::IsFindNext() const
{
    return cmdFind->text() != LoadResString(kFind);
}

RichTextBox* frmFind::activeText() const
{
    DocumentHost* main = DocumentHost::instance();
    frmDocument* doc = main ? main->activeDocument() : nullptr;
    return doc ? doc->rtfText : nullptr;
}

// ---------------------------------------------------------------- Find

void frmFind::cmdFind_Click()
{
    // Without a document or a search text there is nothing to look for.
    RichTextBox* box = activeText();
    const QString text = txtFind->text();
    if (!box || text.isEmpty())
        return;
    const int options = SearchOptions();

    if (!IsFindNext()) {
        if (box->Find(text, 0, -1, options) < 0) {
            showMessage(this, LoadResString(kTextNotFound));
            return;
        }
        focusDocument(box);
        cmdFind->setText(LoadResString(kFindNext));
        return;
    }

    // Find Next: right after the current selection, or at the caret.
    const int start = box->SelStart() + box->SelLength();
    if (box->Find(text, start, -1, options) < 0) {
        showMessage(this, LoadResString(kRegionSearched));
        cmdFind->setText(LoadResString(kFind));
        return;
    }
    focusDocument(box);
}

// ---------------------------------------------------------------- Replace

void frmFind::cmdReplace_Click()
{
    // An empty search text would "match" an empty selection and insert the
    // replacement at the caret on every click: nothing to do.
    RichTextBox* box = activeText();
    const QString text = txtFind->text();
    if (!box || text.isEmpty())
        return;

    const QString selected = box->SelText();
    const bool same = chkMatchCase->isChecked() ? selected == text
                                                : selected.toUpper() == text.toUpper();
    if (same)
        box->setSelText(txtReplace->text());
    cmdFind_Click();
}

// ---------------------------------------------------------------- Replace All

int frmFind::cmdReplaceAll_Click()
{
    const QString text = txtFind->text();
    if (text.isEmpty())
        return 0;

    const int count = ReplaceAllIn(activeText(), text, txtReplace->text(), SearchOptions());
    if (count > 0)
        showMessage(this, LoadResString(kRegionSearched) + QStringLiteral("\r\n")
                              + QString::number(count) + LoadResString(kReplacementsMade));
    cmdFind->setText(LoadResString(kFind));
    return count;
}

// Finds every match in one pass over the text as it was, then makes the
// replacements from the last to the first in one edit block. Each search
// resumes right after the previous replacement, so a replacement that holds
// the search text is never searched again. The whole-word test of a match
// that starts right where the previous one ended looks at the character the
// document has there by then: the end of the replacement.
int frmFind::ReplaceAllIn(RichTextBox* box, const QString& text, const QString& replacement,
                          int options)
{
    if (!box || text.isEmpty())
        return 0;

    const QString original = box->Text();
    const qsizetype n = text.size();
    const bool wholeWord = options & RichTextBox::rtfWholeWord;
    const QStringMatcher matcher(
        text, (options & RichTextBox::rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive);

    std::vector<int> matches;
    qsizetype resume = 0; // where the next search starts
    QChar beforeResume;   // the document's character before `resume` by then
    for (qsizetype from = 0;;) {
        const qsizetype i = matcher.indexIn(original, from);
        if (i < 0)
            break;
        if (wholeWord) {
            const QChar before = i > resume ? original[i - 1] : beforeResume;
            const QChar after = i + n < original.size() ? original[i + n] : QChar();
            if ((isWordCharacter(before) && isWordCharacter(text.front()))
                || (isWordCharacter(after) && isWordCharacter(text.back()))) {
                from = i + 1;
                continue;
            }
        }
        matches.push_back(static_cast<int>(i));
        if (!replacement.isEmpty())
            beforeResume = replacement.back();
        else if (i > resume)
            beforeResume = original[i - 1];
        resume = from = i + n;
    }
    // The document being read takes no replacements.
    if (matches.empty() || !box->ReplaceRanges(matches, static_cast<int>(n), replacement))
        return 0;
    return static_cast<int>(matches.size());
}
