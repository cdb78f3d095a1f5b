// RichTextBox: loading and saving files. Every file type is read by
// readDocument and written by writeDocument; RTF comes with the RTF reader
// and writer, until then an RTF file is read and written as plain text.
#include "RichTextBox_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <stdexcept>

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

// Plain text: UTF-8 unless a byte order mark says otherwise. A file that
// is not UTF-8 was written in the Windows code page, most likely.
QString decodePlainText(const QByteArray& bytes)
{
    if (const auto marked = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        return decoder(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    if (windows.isValid()) {
        text = windows(bytes);
        if (!windows.hasError())
            return text;
    }
    QStringDecoder latin1(QStringConverter::Latin1);
    return latin1(bytes);
}

void readDocument(RichTextBox& box, const QByteArray& bytes, RichTextBox::FileType type)
{
    switch (type) {
    case RichTextBox::rtfRTF:
    case RichTextBox::rtfText:
        box.setText(decodePlainText(bytes));
        return;
    }
    fail(QStringLiteral("Unknown file type %1.").arg(int(type)));
}

QByteArray writeDocument(const RichTextBox& box, RichTextBox::FileType type)
{
    switch (type) {
    case RichTextBox::rtfRTF:
    case RichTextBox::rtfText:
        return box.Text().toUtf8();
    }
    fail(QStringLiteral("Unknown file type %1.").arg(int(type)));
}

} // namespace

void RichTextBox::LoadFile(const QString& path, FileType type)
{
    readDocument(*this, readWholeFile(path), type);
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

    const QByteArray bytes = writeDocument(*this, type);
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
}
