#include "AdList.h"

#include "core/Globals.h"

#include <QFile>

#include <pugixml.hpp>

AdvertList adverts;

namespace {

constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments
                                 | pugi::parse_pi | pugi::parse_doctype;

void appendText(const pugi::xml_node& node, std::string& out)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        switch (c.type()) {
        case pugi::node_pcdata:
        case pugi::node_cdata:
            out += c.value();
            break;
        case pugi::node_element:
            appendText(c, out);
            break;
        default: // comments and instructions inside an element are not its text
            break;
        }
    }
}

// A node's whole text: the text inside an element (all of it, joined), the
// content of a text, comment or instruction node. Blanks around it go.
QString nodeText(const pugi::xml_node& node)
{
    if (!node)
        return QString();
    std::string text;
    if (node.type() == pugi::node_element)
        appendText(node, text);
    else
        text = node.value();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

} // namespace

void LoadAdListFrom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), kParseFlags))
        return;
    const pugi::xml_node root = doc.first_child();
    if (!root)
        return;

    QStringList list;
    int count = 0;
    for (pugi::xml_node entry = root.first_child(); entry; entry = entry.next_sibling()) {
        const pugi::xml_node first = entry.first_child();
        list << nodeText(first) << nodeText(first ? first.next_sibling() : pugi::xml_node());
        if (++count == INT16_MAX)
            break;
    }
    adverts.AdList = list;
    adverts.AdCount = static_cast<std::int16_t>(count);
}

void LoadAdList()
{
    LoadAdListFrom(globals.AppFolder + QStringLiteral("/AdList.xml"));
}
