// RichTextBox: loading and saving files. Every file type is read by
// readDocument and written by writeDocument; RTF goes through the reader
// and writer in rtf/.
#include "RichTextBox_p.h"

#include "PlainTextEncoding.h"
#include "richtext/rtf/RtfReader.h"
#include "richtext/rtf/RtfWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

#include <optional>
#include <stdexcept>
#include <vector>

namespace {

// Bigger files are refused rather than exhaust the memory.
constexpr qint64 kLargestFile = qint64(512) * 1024 * 1024;

[[noreturn]] void fail(const QString& reason)
{
    throw std::runtime_error(reason.toStdString());
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray readWholeFile(const QString& path)
{
    if (path.isEmpty())
        fail(QStringLiteral("No file name was given."));
    const QFileInfo info(path);
    if (info.isDir())
        fail(QStringLiteral("\"%1\" is a folder, not a file.").arg(shown(path)));
    if (!info.exists()) {
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            fail(QStringLiteral("The folder \"%1\" does not exist.").arg(shown(info.absolutePath())));
        fail(QStringLiteral("The file \"%1\" does not exist.").arg(shown(path)));
    }
    // A pipe would block the program in open() until something writes to
    // it, and a device such as /dev/zero never ends: only files are read.
    if (!info.isFile())
        fail(QStringLiteral("\"%1\" is not a file that can be opened as a document: it is a pipe, a device "
                            "or another special file.")
                 .arg(shown(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("The file \"%1\" cannot be read: %2").arg(shown(path), file.errorString()));
    if (file.size() > kLargestFile)
        fail(QStringLiteral("The file \"%1\" is too large to open.").arg(shown(path)));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("The file \"%1\" cannot be read: %2").arg(shown(path), file.errorString()));
    return bytes;
}

// The line break a text uses: that of its first line, LF when it has none.
QString lineEndOf(const QString& text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text.at(at) == u'\n')
            break;
        if (text.at(at) == u'\r')
            return at + 1 < text.size() && text.at(at + 1) == u'\n' ? QStringLiteral("\r\n") : QStringLiteral("\r");
    }
    return QStringLiteral("\n");
}

// What a file holds, as text (with its encoding) or as text with formats.
struct FileContent {
    std::optional<QString> plain;
    PlainTextEncoding encoding;
    rtf::Document rich;
};

FileContent readDocument(const QByteArray& bytes, RichTextBox::FileType type)
{
    FileContent content;
    switch (type) {
    case RichTextBox::rtfRTF:
        // A file named as RTF that holds something else (plain text saved
        // under that name) is shown as the text it is.
        if (rtf::looksLikeRtf(bytes)) {
            content.rich = rtf::read(bytes);
            return content;
        }
        [[fallthrough]];
    case RichTextBox::rtfText:
        content.plain = DecodePlainText(bytes, content.encoding);
        return content;
    }
    fail(QStringLiteral("Unknown file type %1.").arg(int(type)));
}

// The file's bytes. Plain text (the editor's text, `editorText`) goes in
// the encoding and with the line breaks it was read with, in one pass;
// `encoding` becomes the one written. RTF text that came from a file is
// written as the file had it (`kept`).
QByteArray writeDocument(const RichTextBox& box, RichTextBox::FileType type, QStringView editorText,
                         const QString& lineEnd, PlainTextEncoding& encoding, const rtf::Kept& kept,
                         const std::vector<rtf::FileRun>& fileRuns, const std::vector<rtf::GroupAnchor>& groups)
{
    switch (type) {
    case RichTextBox::rtfRTF: {
        // Characters painted in the control's own background (cleared after
        // reading) have no background worth keeping; the sentence being
        // read is drawn over the text and is not in its format at all.
        rtf::WriteOptions options;
        options.plainBackground = RichTextBox::toQColor(box.BackColor());
        if (!kept.empty())
            options.kept = &kept;
        if (!fileRuns.empty())
            options.fileRuns = &fileRuns;
        if (!groups.empty())
            options.groupsAt = &groups;
        return rtf::write(*box.document(), options);
    }
    case RichTextBox::rtfText:
        return EncodePlainText(
            editorText,
            [&lineEnd](QStringView part, QString& text) { RichTextDetail::appendAsText(text, part, lineEnd); },
            encoding);
    }
    fail(QStringLiteral("Unknown file type %1.").arg(int(type)));
}

} // namespace

void RichTextBox::LoadFile(const QString& path, FileType type)
{
    LoadFile(path, type, FontAndColor());
}

void RichTextBox::LoadFile(const QString& path, FileType type, const FontAndColor& look)
{
    FileContent content = readDocument(readWholeFile(path), type);
    d->lineEnd = content.plain ? lineEndOf(*content.plain) : QStringLiteral("\n");
    d->encoding = content.encoding;
    // The look goes in with the text: formatting the text once it is in
    // would lay it all out again, at once.
    const QTextCharFormat lookFormat = d->charFormat(look);
    if (content.plain) {
        QString& text = *content.plain;
        // Most files need no conversion, and a long one is not copied then.
        if (text.contains(u'\r') || text.contains(u'\v'))
            text = RichTextDetail::toEditorText(text);
        d->replaceText(text, lookFormat);
        // The text that went in is at hand: its fingerprint is made from it
        // rather than from a copy taken back out of the editor.
        d->fingerprint = RichTextDetail::fingerprintOf(text);
        return;
    }
    // As setText: the whole text is replaced as one change, which cannot be
    // undone, with one Change signal at the end.
    QTextCursor caret = textCursor();
    caret.clearSelection();
    caret.setCharFormat(QTextCharFormat());
    setTextCursor(caret);
    d->replacing = true;
    d->layers.clear();
    d->showLayers();
    setPlainText(QString());
    QTextDocument* doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    {
        // Emptied inside the edit block, as QTextDocument::setPlainText does:
        // the change then covers the whole document, which the layout takes
        // as a new document and lays out a part at a time in the background
        // instead of all at once here.
        QTextCursor at(doc);
        at.beginEditBlock();
        doc->clear();
        // The caret waits at the start, before a placeholder after which
        // the text goes in, so that it never moves: moving it back from the
        // end would lay out the whole text at once.
        at.insertText(QStringLiteral("#"));
        setTextCursor(QTextCursor(doc));
        d->fileRuns.clear();
        d->fileRuns.reserve(content.rich.runs.size());
        d->groupsBeside.clear();
        rtf::insert(content.rich, at, lookFormat, &d->fileRuns, &d->groupsBeside);
        at.setPosition(0);
        at.deleteChar();
        at.endEditBlock();
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    d->replacing = false;
    // What is typed next takes the look too, also in an empty document.
    QTextCursor start = textCursor();
    start.mergeCharFormat(lookFormat);
    setTextCursor(start);

    // Characters with a background of their own show it until the next
    // SetAllBackColor paints them; all the others show the control's.
    // Many coloured stretches are marked as one from the first to the last.
    std::vector<Impl::Span> coloured;
    for (const rtf::Run& run : content.rich.runs) {
        if (!content.rich.formats[std::size_t(run.format)].background)
            continue;
        const int from = int(run.start);
        const int to = int(run.start + run.length);
        if (!coloured.empty() && coloured.back().to == from)
            coloured.back().to = to;
        else
            coloured.push_back({from, to});
    }
    d->stale.clear();
    if (coloured.size() > 32)
        d->markStale(coloured.front().from, coloured.back().to);
    else
        for (const Impl::Span& span : coloured)
            d->markStale(span.from, span.to);
    d->clearColor.reset();
    d->showsBase = true;
    d->lastAnchor = d->lastPosition = -1;
    // The file's tables and formats, for saving it as it was: without the
    // room the list of formats grew by, once the text and runs the editor
    // has taken are gone.
    content.rich.text = QString();
    content.rich.runs = std::vector<rtf::Run>();
    d->kept = std::move(content.rich.kept);
    d->kept.formats = std::move(content.rich.formats);
    d->kept.formats.shrink_to_fit();
    emit Change();
}

void RichTextBox::SaveFile(const QString& path, FileType type)
{
    if (path.isEmpty())
        fail(QStringLiteral("No file name was given."));
    const QFileInfo info(path);
    if (info.isDir())
        fail(QStringLiteral("\"%1\" is a folder, not a file.").arg(shown(path)));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        fail(QStringLiteral("The folder \"%1\" does not exist.").arg(shown(info.absolutePath())));

    PlainTextEncoding encoding = d->encoding;
    // The editor's text, taken whole at once (not a block at a time).
    const QString editorText = type == rtfText ? document()->toRawText() : QString();
    const QByteArray bytes =
        writeDocument(*this, type, editorText, d->lineEnd, encoding, d->kept, d->fileRuns, d->groupsBeside);
    // Written beside the old file and renamed over it at the end: a failed
    // save leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("The file \"%1\" cannot be written: %2").arg(shown(path), file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(QStringLiteral("The file \"%1\" could not be written: %2").arg(shown(path), reason));
    }
    if (!file.commit())
        fail(QStringLiteral("The file \"%1\" could not be written: %2").arg(shown(path), file.errorString()));
    if (type == rtfText) {
        d->encoding = encoding;
        // The document table asks for it next; the text is at hand.
        if (!d->fingerprint)
            d->fingerprint = RichTextDetail::fingerprintOf(editorText);
    }
}
