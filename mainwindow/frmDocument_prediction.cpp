// The document window's word-prediction rows (ten suggested words that the
// user pages through, steps through with the arrow keys, hears, and inserts
// at the caret), the fragments before the caret, and the typing-echo boxes.
//
// A row is selected when it has the selected back colour; nothing else
// records which row is selected.
#include "mainwindow/frmDocument.h"

#include "richtext/RichTextBox.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/SettingsStore.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace {

// Key codes PicKeydown understands.
constexpr std::int16_t kKeyUp = 38;
constexpr std::int16_t kKeyDown = 40;
constexpr std::int16_t kKeyZero = 48;
constexpr std::int16_t kKeyNine = 57;

void setRowColor(QLabel* row, std::uint32_t colorref)
{
    QPalette p = row->palette();
    p.setColor(QPalette::Window, RichTextBox::toQColor(colorref));
    row->setPalette(p);
}

bool isSelectedRow(const QLabel* row)
{
    return RichTextBox::toColorref(row->palette().color(QPalette::Window)) == kPredictionSelectedColor;
}

// Moves the selection from the first selected row among first..last to the
// row step away; false when none of them is selected.
bool moveSelection(const std::array<QLabel*, 10>& rows, int first, int last, int step)
{
    for (int i = first; i <= last; ++i) {
        if (isSelectedRow(rows[i])) {
            setRowColor(rows[i], kPredictionRowColor);
            setRowColor(rows[i + step], kPredictionSelectedColor);
            return true;
        }
    }
    return false;
}

void letEventsRun()
{
    QCoreApplication::processEvents();
}

// The fragment before the caret: the characters after the last character
// the delimiter test accepts, up to the caret.
template <class IsDelimiter>
QString fragmentBefore(const RichTextBox* box, int caret, IsDelimiter isDelimiter)
{
    int start = caret;
    while (start > 0 && !isDelimiter(box->CharAt(start - 1).unicode()))
        --start;
    return box->TextRange(start, caret - start);
}

// A check box's value as stored: 0 unchecked, 1 checked, 2 grey.
QString checkValueText(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return QStringLiteral("1");
    case Qt::PartiallyChecked:
        return QStringLiteral("2");
    default:
        return QStringLiteral("0");
    }
}

void storeCheckValue(const QCheckBox* box, const char* key)
{
    try {
        WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QLatin1String(key), checkValueText(box));
    } catch (const SettingsError& e) {
        ReportStoreFailure(e);
    }
}

// The echo mode for a combination of the three echo flags; none for a
// combination that leaves the mode as it is.
std::optional<std::int16_t> echoModeFor(std::int16_t letter, std::int16_t word, std::int16_t sentence)
{
    struct Row {
        std::int16_t letter, word, sentence, mode;
    };
    static constexpr Row kModes[] = {
        {1, 0, 0, 1}, {0, 1, 0, 2}, {1, 0, 1, 3}, {1, 1, 1, 4}, {1, 1, 0, 5}, {0, 1, 1, 6}, {0, 0, 1, 0},
    };
    for (const Row& r : kModes) {
        if (r.letter == letter && r.word == word && r.sentence == sentence)
            return r.mode;
    }
    return std::nullopt;
}

// Selects a row when one of the rows' speak buttons gets the focus.
class SpeakButtonFocus : public QObject {
public:
    explicit SpeakButtonFocus(frmDocument* window)
        : QObject(window)
        , window_(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            const QVariant index = watched->property("Index");
            if (index.isValid())
                window_->Command6_GotFocus(index.toInt());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    frmDocument* window_;
};

} // namespace

void frmDocument::wirePredictionPanel()
{
    for (QLabel* row : Label1)
        setRowColor(row, kPredictionRowColor);
    auto* focus = new SpeakButtonFocus(this);
    for (QPushButton* button : Command6)
        button->installEventFilter(focus);
}

// ---------------------------------------------------------------------------
// Rows

void frmDocument::AddTotalList(const QString& words)
{
    const QStringList pieces = words.isEmpty() ? QStringList() : words.split(QLatin1Char(' '));
    const qsizetype last = std::min<qsizetype>(pieces.size() - 1, 9);
    for (QLabel* row : Label1) {
        row->clear();
        letEventsRun();
    }
    for (qsizetype i = 0; i <= last; ++i)
        Label1[i]->setText(pieces.at(i));
    for (QLabel* row : Label1) {
        setRowColor(row, kPredictionRowColor);
        letEventsRun();
    }
    setRowColor(Label1[0], kPredictionSelectedColor);
    letEventsRun();
}

// The words of the page PredictionPage: the first list's page, and when it
// leaves rows empty, words of the second list to fill them. Moving to the
// next page passes over SecondListCount more words of the second list than
// ten a page, moving back SecondListCount fewer.
QString frmDocument::buildPredictionPage(bool movingOn)
{
    const std::int32_t p = predictionState.PredictionPage;
    const QString first = PredictWords(predictionState.PredictionList1, predictionState.PredictionIndex1, predictionState.TypedFragment, 10 * p, 10);
    const int k = LastPieceIndex(first);
    SecondListCount = 9 - k;
    QString second;
    if (k < 9) {
        const std::int32_t skip = movingOn ? 10 * p + SecondListCount : 10 * p - SecondListCount;
        second = PredictWords(predictionState.PredictionList2, predictionState.PredictionIndex2, predictionState.TypedFragment, skip, SecondListCount);
    }
    return TrimBlanks(first + QLatin1Char(' ') + second);
}

void frmDocument::resetPredictionRows(int selected)
{
    for (QLabel* row : Label1)
        setRowColor(row, kPredictionRowColor);
    setRowColor(Label1[selected], kPredictionSelectedColor);
    letEventsRun();
}

void frmDocument::Command8_Click()
{
    IgnoreErrors([&] {
        ++predictionState.PredictionPage;
        const QString text = buildPredictionPage(true);
        resetPredictionRows(0);
        if (!text.isEmpty())
            AddTotalList(text);
        else
            --predictionState.PredictionPage;
        rtfText->setFocus();
    });
}

void frmDocument::Command7_Click()
{
    IgnoreErrors([&] {
        if (predictionState.PredictionPage > 0) {
            --predictionState.PredictionPage;
            const QString text = buildPredictionPage(false);
            resetPredictionRows(9);
            if (!text.isEmpty())
                AddTotalList(text);
        }
        rtfText->setFocus();
    });
}

void frmDocument::PicKeydown(std::int16_t KeyCode)
{
    if (KeyCode == kKeyUp) {
        if (isSelectedRow(Label1[0])) {
            Command7_Click();
            setRowColor(Label1[0], kPredictionRowColor);
            setRowColor(Label1[9], kPredictionSelectedColor);
        } else {
            if (!moveSelection(Label1, 1, 9, -1))
                return;
        }
        letEventsRun();
    } else if (KeyCode == kKeyDown) {
        if (!isSelectedRow(Label1[9])) {
            if (!moveSelection(Label1, 0, 8, 1))
                return;
        } else {
            setRowColor(Label1[9], kPredictionRowColor);
            letEventsRun();
            Command8_Click();
        }
        letEventsRun();
    } else if (KeyCode >= kKeyZero && KeyCode <= kKeyNine) {
        // Replace the typed beginning of the word before the caret by the
        // row's word.
        rtfText->setFocus();
        letEventsRun();
        const int typed = static_cast<int>(predictionState.TypedFragment.size());
        const int start = rtfText->SelStart() - typed;
        if (start < 0)
            throw std::out_of_range("Invalid property value");
        rtfText->setSelStart(start);
        rtfText->setSelLength(typed);
        rtfText->setSelText(QString());
        const QString rest = rtfText->SelText();
        const int row = KeyCode == kKeyZero ? 9 : KeyCode - kKeyZero - 1;
        rtfText->setSelText(Label1[row]->text() + rest);
        rtfText->setSelLength(0);
    }
}

void frmDocument::Label1_Click(int Index)
{
    IgnoreErrors([&] {
        for (QLabel* row : Label1)
            setRowColor(row, kPredictionRowColor);
        setRowColor(Label1.at(Index), kPredictionSelectedColor);
    });
}

void frmDocument::Command6_GotFocus(int Index)
{
    Label1_Click(Index);
}

void frmDocument::Label1_DblClick(int Index)
{
    IgnoreErrors([&] {
        // The key of the row's number: "1" to "9" for rows 0 to 8, "0" for row 9.
        const QString number = Label2.at(Index)->text();
        if (number.isEmpty())
            throw std::invalid_argument("Invalid procedure call");
        PicKeydown(static_cast<std::int16_t>(number.at(0).unicode()));
        list1->hide();
    });
}

void frmDocument::Command6_Click(int Index)
{
    IgnoreErrors([&] {
        const QString word = Label1.at(Index)->text();
        readingState.wordStarts();
        SpeechController::get().speakstring(word);
        rtfText->setFocus();
    });
}

// ---------------------------------------------------------------------------
// Fragments before the caret

QString frmDocument::GetLastWord(RichTextBox* box)
{
    QString word;
    if (!box)
        return word;
    IgnoreErrors([&] {
        word = fragmentBefore(box, box->SelStart(), [](char16_t c) {
            switch (c) {
            case u' ':
            case u'.':
            case u':':
            case u'!':
            case u'?':
            case u'"':
            case u'\'':
            case u',':
            case u'\r':
            case u'\n':
                return true;
            default:
                return false;
            }
        });
    });
    return word;
}

QString frmDocument::GetWordPrefix()
{
    PrefixCaretPos = rtfText->SelStart();
    return fragmentBefore(rtfText, PrefixCaretPos, [this](char16_t c) { return IsWordDelimiter(c); });
}

QString frmDocument::GetPhrasePrefix()
{
    PrefixCaretPos = rtfText->SelStart();
    return fragmentBefore(rtfText, PrefixCaretPos, [this](char16_t c) { return IsPhraseDelimiter(c); });
}

bool frmDocument::IsWordDelimiter(int code)
{
    return code == ' ' || IsPhraseDelimiter(code) || code == '"';
}

bool frmDocument::IsPhraseDelimiter(int code)
{
    switch (code) {
    case '.':
    case ';':
    case ',':
    case '?':
    case '!':
    case 13:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Typing echo

void frmDocument::ChkLetter_Click()
{
    storeCheckValue(ChkLetter, "READ_LETTER");
}

void frmDocument::ChkWord_Click()
{
    storeCheckValue(ChkWord, "READ_WORD");
}

void frmDocument::ChkSentence_Click()
{
    storeCheckValue(ChkSentence, "READ_SENTENCE");
}

void frmDocument::SetEchoMode()
{
    if (const auto mode = echoModeFor(predictionState.EchoOption1, predictionState.EchoOption2, predictionState.EchoOption3))
        predictionState.EchoMode = *mode;
}
