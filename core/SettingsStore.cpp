#include "SettingsStore.h"

#include "Globals.h"
#include "MessageBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSaveFile>
#include <QTimer>

#include <pugixml.hpp>

#include <sstream>

namespace {

// Declarations, comments, processing instructions and doctypes must stay
// nodes of the document: only then can a file that has one of them before
// its root element be told apart from one whose first node is the root.
// A value made only of blanks is kept as text.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration
    | pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype | pugi::parse_ws_pcdata_single;

// The store's files are three elements deep (root, section, key) with the
// value as text; a value may hold a little markup of its own. A file nested
// deeper is no settings file: nothing in it can be read, and writing it
// back indented would grow with the square of its depth.
constexpr int kDeepestNode = 16;

// Whether any node of doc lies more than `limit` levels below the document.
// Walks the tree without recursion: the depth is what is in question.
bool nestedDeeperThan(const pugi::xml_document& doc, int limit)
{
    int depth = 1;
    for (pugi::xml_node n = doc.first_child(); n;) {
        if (const pugi::xml_node child = n.first_child()) {
            if (++depth > limit)
                return true;
            n = child;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
    return false;
}

// Loads the file into doc. A missing, unreadable, empty or malformed file,
// and one nested too deeply, leaves doc without nodes. (The parser itself
// needs no recursion and memory in proportion to the file only.)
void loadDocument(const QString& file, pugi::xml_document& doc)
{
    doc.reset();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = f.readAll();
    if (bytes.isEmpty())
        return;
    const pugi::xml_parse_result result = doc.load_buffer(bytes.constData(),
        static_cast<size_t>(bytes.size()), kParseOptions, pugi::encoding_auto);
    if (!result || nestedDeeperThan(doc, kDeepestNode))
        doc.reset();
}

// The document's first node, which must be the root element. Returns an
// empty node for a document without nodes; throws when the first node is
// something else.
pugi::xml_node rootOf(const pugi::xml_document& doc, const QString& file)
{
    const pugi::xml_node first = doc.first_child();
    if (!first)
        return first;
    if (first.type() != pugi::node_element)
        throw SettingsError("the first node of " + file.toStdString() + " is not the root element");
    return first;
}

pugi::xml_node firstChildElement(pugi::xml_node parent, const std::string& name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element && name == n.name())
            return n;
    }
    return {};
}

// The text of an element: all its text and CDATA, nested ones included.
void appendText(pugi::xml_node node, std::string& out)
{
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            out += n.value();
        else if (n.type() == pugi::node_element)
            appendText(n, out);
    }
}

// A name that XML cannot hold as an element name would leave a file that no
// later access can read: such a write is refused.
void checkElementName(const QString& name)
{
    bool ok = !name.isEmpty() && (name[0].isLetter() || name[0] == u'_');
    for (QChar c : name)
        ok = ok && (c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.');
    if (!ok)
        throw SettingsError("\"" + name.toStdString() + "\" is not a valid section or key name");
}

// True when the key holds exactly this value and nothing else, so that
// writing it would leave the document as it is.
bool holdsOnly(pugi::xml_node key, const std::string& value)
{
    if (!key)
        return false;
    const pugi::xml_node content = key.first_child();
    if (!content)
        return value.empty();
    return content.type() == pugi::node_pcdata && !content.next_sibling() && value == content.value();
}

pugi::xml_node childElementOrAppend(pugi::xml_node parent, const std::string& name)
{
    pugi::xml_node n = firstChildElement(parent, name);
    if (!n)
        n = parent.append_child(name.c_str());
    return n;
}

void saveDocument(const pugi::xml_document& doc, const QString& file)
{
    QFileInfo info(file);
    // A file without write permission is read-only even to a user who
    // could replace it.
    if (info.exists() && (!info.permission(QFile::WriteOwner) || !info.isWritable()))
        throw SettingsError(file.toStdString() + " is read-only");

    std::ostringstream out;
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    const std::string text = out.str();

    // Write a new file beside the old one and rename it over it, so that a
    // crash or a kill at any moment leaves either the old or the new file.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        throw SettingsError("cannot write " + file.toStdString() + ": " + f.errorString().toStdString());
    if (info.exists())
        f.setPermissions(info.permissions());
    if (f.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        f.cancelWriting();
        throw SettingsError("cannot write " + file.toStdString() + ": " + f.errorString().toStdString());
    }
    if (!f.commit())
        throw SettingsError("cannot save " + file.toStdString() + ": " + f.errorString().toStdString());
}

// The failures the user has been told of in this run.
QSet<QString>& toldFailures()
{
    static QSet<QString> told;
    return told;
}

// A settings file that cannot be saved would lose every change the user
// makes without a word: say so once per run, naming the file. The message
// waits until the handler that wrote has returned, so that no dialog opens
// in the middle of another step.
void reportRefusedWrite(const QString& file, const SettingsError& error)
{
    static QSet<QString> reported;
    if (file.isEmpty() || file != globals.SettingsFile || reported.contains(file))
        return;
    reported.insert(file);
    toldFailures().insert(QString::fromLocal8Bit(error.what()));
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    const QString prompt = QStringLiteral("Lectova cannot save its settings in the file\n%1\n\n%2\n\n"
                                          "Changes to the settings are not kept until the file and its folder "
                                          "can be written.")
                               .arg(file, QString::fromLocal8Bit(error.what()));
    QTimer::singleShot(0, app, [prompt] { MsgBox(prompt, vbOKOnly + vbExclamation); });
}

} // namespace

QString ReadSetting(const QString& file, const QString& section, const QString& key,
                    const QString& defaultValue)
{
    pugi::xml_document doc;
    loadDocument(file, doc);
    const pugi::xml_node root = rootOf(doc, file);
    if (!root)
        return QString(""); // not the default: a file without a root reads as ""
    const pugi::xml_node sec = firstChildElement(root, section.toStdString());
    if (!sec)
        return defaultValue;
    const pugi::xml_node k = firstChildElement(sec, key.toStdString());
    if (!k)
        return defaultValue;
    std::string text;
    appendText(k, text);
    return QString::fromStdString(text);
}

void WriteSetting(const QString& file, const QString& section, const QString& key,
                  const QString& value)
{
    pugi::xml_document doc;
    loadDocument(file, doc);
    const pugi::xml_node root = rootOf(doc, file);
    if (!root)
        return; // never create or change a file without a root element
    checkElementName(section);
    checkElementName(key);
    const std::string text = value.toStdString();
    // The value it already holds: the file is not rewritten (each write
    // would replace it and flush it to the disk for nothing).
    if (holdsOnly(firstChildElement(firstChildElement(root, section.toStdString()), key.toStdString()), text))
        return;
    pugi::xml_node sec = childElementOrAppend(root, section.toStdString());
    pugi::xml_node k = childElementOrAppend(sec, key.toStdString());
    while (pugi::xml_node c = k.first_child())
        k.remove_child(c);
    k.append_child(pugi::node_pcdata).set_value(text.c_str());
    try {
        saveDocument(doc, file);
    } catch (const SettingsError& e) {
        reportRefusedWrite(file, e);
        throw;
    }
}

bool HasRootElement(const QString& file)
{
    pugi::xml_document doc;
    loadDocument(file, doc);
    const pugi::xml_node first = doc.first_child();
    return first && first.type() == pugi::node_element;
}

void ReportStoreFailure(const SettingsError& error)
{
    // A failure already told (a refused save of the settings file is told
    // once per run) is not told again on every change.
    const QString what = QString::fromLocal8Bit(error.what());
    if (toldFailures().contains(what))
        return;
    toldFailures().insert(what);
    MsgBox(QStringLiteral("The settings could not be stored:\n%1").arg(QString::fromLocal8Bit(error.what())),
           vbOKOnly + vbExclamation);
}
