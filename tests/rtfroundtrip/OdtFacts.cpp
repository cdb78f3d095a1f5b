#include "OdtFacts.h"

#include <QChar>
#include <QStringList>

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace {

// Resolved style attributes: "T" + name for text properties, "P" + name
// for paragraph properties, "C" + name for table column properties.
using Props = std::map<std::string, std::string>;

enum class Script { Western, Asian, Complex };

Script scriptOf(char32_t c)
{
    using S = QChar::Script;
    static const std::set<S> asian = {S::Script_Han, S::Script_Hiragana, S::Script_Katakana, S::Script_Hangul,
                                      S::Script_Bopomofo};
    static const std::set<S> complex = {S::Script_Hebrew, S::Script_Arabic, S::Script_Syriac, S::Script_Thaana,
                                        S::Script_Thai, S::Script_Devanagari};
    const S script = QChar::script(c);
    return asian.count(script) ? Script::Asian : complex.count(script) ? Script::Complex : Script::Western;
}

bool isWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// A length in points ("2cm", "0.7874in", "12pt", "5mm"); 0 for anything else.
double points(const std::string& value)
{
    static const std::map<std::string, double> perUnit = {
        {"pt", 1}, {"in", 72}, {"cm", 72 / 2.54}, {"mm", 72 / 25.4}, {"pc", 12}};
    char* end = nullptr;
    const double n = std::strtod(value.c_str(), &end);
    const auto unit = perUnit.find(end ? end : "");
    return unit == perUnit.end() ? 0 : n * unit->second;
}

QString roundedPoints(const std::string& value)
{
    return QString::number(std::lround(points(value)));
}

// Greek letters of the Symbol font, for its codes 'A'..'Z' and 'a'..'z'.
const char16_t kSymbolUpper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
const char16_t kSymbolLower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";

// Structures kept as fields by LibreOffice: their text is what the field
// shows at the moment, not words of the document.
const std::set<std::string> kFields = {
    "text:page-number", "text:page-count", "text:date", "text:time", "text:author-name",
    "text:author-initials", "text:title", "text:subject", "text:file-name", "text:chapter",
    "text:sequence", "text:variable-get", "text:variable-set", "text:user-field-get",
    "text:user-defined", "text:bookmark-ref", "text:reference-ref", "text:sequence-ref",
    "text:note-ref", "text:creation-date", "text:creation-time", "text:modification-date",
    "text:word-count", "text:character-count", "text:paragraph-count", "text:hidden-text",
    "text:conditional-text", "text:text-input", "text:drop-down", "text:placeholder",
    "text:expression", "text:initial-creator", "text:creator", "text:print-date",
    "text:keywords", "text:description", "text:template-name", "text:database-display",
    "text:page-variable-get", "text:hidden-paragraph", "field:fieldmark", "field:fieldmark-start"};

const std::set<std::string> kShapes = {"draw:custom-shape", "draw:rect", "draw:ellipse", "draw:circle",
                                       "draw:line", "draw:polyline", "draw:polygon", "draw:path",
                                       "draw:connector", "draw:regular-polygon", "draw:caption",
                                       "draw:measure"};

const std::set<std::string> kSkipped = {"text:sequence-decls", "text:variable-decls", "text:user-field-decls",
                                        "text:tracked-changes", "office:forms", "text:note-citation",
                                        "draw:enhanced-geometry", "svg:title", "svg:desc", "draw:image",
                                        "office:annotation", "office:annotation-end"};

class Reader {
public:
    Reader(pugi::xml_node document, OdtFacts& facts)
        : facts_(facts)
    {
        for (pugi::xml_node face : document.child("office:font-face-decls").children("style:font-face")) {
            QString family = QString::fromUtf8(face.attribute("svg:font-family").value());
            family.remove(QLatin1Char('\'')).remove(QLatin1Char('"'));
            fonts_[face.attribute("style:name").value()] = family;
        }
        for (const char* part : {"office:styles", "office:automatic-styles"}) {
            for (pugi::xml_node s : document.child(part).children()) {
                const std::string name = s.name();
                if (name == "style:style")
                    styles_[std::string(s.attribute("style:family").value()) + '/' + s.attribute("style:name").value()] = s;
                else if (name == "style:default-style")
                    defaults_[s.attribute("style:family").value()] = s;
                else if (name == "text:list-style")
                    lists_[s.attribute("style:name").value()] = s;
            }
        }
    }

    void run(pugi::xml_node document)
    {
        for (pugi::xml_node page : document.child("office:master-styles").children("style:master-page")) {
            for (pugi::xml_node part : page.children()) {
                const std::string name = part.name();
                if (std::string(part.attribute("style:display").value()) == "false")
                    continue;
                const char* kind = name.rfind("style:header", 0) == 0   ? "header"
                                   : name.rfind("style:footer", 0) == 0 ? "footer"
                                                                        : nullptr;
                if (!kind)
                    continue;
                ++facts_.counts[kind];
                Context ctx;
                ctx.place = QString::fromLatin1(kind);
                walkChildren(part, ctx);
            }
        }
        Context body;
        body.place = QStringLiteral("body");
        walkChildren(document.child("office:body").child("office:text"), body);
    }

private:
    struct Paragraph {
        QString words; // the paragraph's words, one space apart
        QString word, wordLook, lastLook, wordPlace;
    };
    struct Context {
        QString place;
        Props props;
        Paragraph* paragraph = nullptr;
        std::string listStyle;
        int listDepth = 0;
        int listLevel = 0; // of the paragraphs directly in the current list item
        bool inTable = false;
        bool inField = false;
        bool inLink = false;
    };

    const Props& resolved(const std::string& family, const std::string& name, int depth = 0)
    {
        const std::string key = family + '/' + name;
        if (auto it = resolved_.find(key); it != resolved_.end())
            return it->second;
        Props props;
        auto style = styles_.find(key);
        const std::string parent = style != styles_.end() ? style->second.attribute("style:parent-style-name").value() : "";
        if (!parent.empty() && depth < 50)
            props = resolved(family, parent, depth + 1);
        else if (auto d = defaults_.find(family); d != defaults_.end())
            overlay(props, d->second);
        if (style != styles_.end())
            overlay(props, style->second);
        return resolved_[key] = props;
    }

    static void overlay(Props& props, pugi::xml_node style)
    {
        for (pugi::xml_node part : style.children()) {
            const std::string name = part.name();
            const char prefix = name == "style:text-properties"           ? 'T'
                                : name == "style:paragraph-properties"    ? 'P'
                                : name == "style:table-column-properties" ? 'C'
                                                                          : 0;
            if (!prefix)
                continue;
            for (pugi::xml_attribute a : part.attributes())
                props[prefix + std::string(a.name())] = a.value();
        }
    }

    static std::string get(const Props& props, const std::string& key)
    {
        auto it = props.find(key);
        return it == props.end() ? std::string() : it->second;
    }

    // Above the line (1), below it (-1) or on it (0).
    static int positionOf(const Props& p)
    {
        const std::string position = get(p, "Tstyle:text-position");
        if (position.rfind("super", 0) == 0 || std::atof(position.c_str()) > 0)
            return 1;
        if (position.rfind("sub", 0) == 0 || std::atof(position.c_str()) < 0)
            return -1;
        return 0;
    }

    QString fontName(const std::string& face) const
    {
        auto it = fonts_.find(face);
        return it != fonts_.end() ? it->second : QString::fromUtf8(face.c_str());
    }

    QString look(const Props& p, Script script, bool withFont) const
    {
        const std::string fo = script == Script::Western ? "Tfo:" : "Tstyle:";
        const std::string end = script == Script::Asian ? "-asian" : script == Script::Complex ? "-complex" : "";
        QStringList parts;
        const std::string weight = get(p, fo + "font-weight" + end);
        if (weight == "bold" || std::atoi(weight.c_str()) >= 600)
            parts << "bold";
        const std::string style = get(p, fo + "font-style" + end);
        if (style == "italic" || style == "oblique")
            parts << "italic";
        const std::string size = get(p, fo + "font-size" + end);
        if (!size.empty())
            parts << QString::number(points(size), 'g', 4) + "pt";
        if (withFont)
            parts << fontName(get(p, "Tstyle:font-name" + end));
        const std::string underline = get(p, "Tstyle:text-underline-style");
        if (!underline.empty() && underline != "none")
            parts << QString::fromStdString("underline-" + underline + get(p, "Tstyle:text-underline-type"));
        const std::string strike = get(p, "Tstyle:text-line-through-style");
        if (!strike.empty() && strike != "none")
            parts << "strike";
        const QString colour = QString::fromStdString(get(p, "Tfo:color")).toLower();
        if (get(p, "Tstyle:use-window-font-color") != "true" && !colour.isEmpty() && colour != "#000000")
            parts << colour;
        const std::string background = get(p, "Tfo:background-color");
        if (!background.empty() && background != "transparent")
            parts << QString::fromStdString("background" + background);
        if (const int position = positionOf(p))
            parts << (position > 0 ? "super" : "sub");
        if (get(p, "Tfo:font-variant") == "small-caps")
            parts << "small-caps";
        if (get(p, "Tfo:text-transform") == "uppercase")
            parts << "capitals";
        return parts.join(QLatin1Char(' '));
    }

    void walkChildren(pugi::xml_node node, const Context& ctx)
    {
        for (pugi::xml_node child : node.children())
            walk(child, ctx);
    }

    void walk(pugi::xml_node node, const Context& ctx)
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            characters(QString::fromUtf8(node.value()), ctx);
            return;
        }
        const std::string name = node.name();
        if (kSkipped.count(name))
            return;
        if (name == "text:p" || name == "text:h") {
            paragraph(node, ctx);
        } else if (name == "text:span" || name == "text:a") {
            Context inner = ctx;
            if (name == "text:a") {
                ++facts_.counts["link"];
                inner.inLink = true;
            }
            for (const auto& [k, v] : resolved("text", node.attribute("text:style-name").value()))
                inner.props[k] = v;
            walkChildren(node, inner);
        } else if (name == "text:s") {
            characters(QString(std::max(1, node.attribute("text:c").as_int(1)), QLatin1Char(' ')), ctx);
        } else if (name == "text:tab" || name == "text:line-break") {
            characters(QStringLiteral(" "), ctx);
        } else if (kFields.count(name)) {
            ++facts_.counts["field"];
            Context inner = ctx;
            inner.inField = true;
            walkChildren(node, inner);
        } else if (name == "text:bookmark" || name == "text:bookmark-start") {
            ++facts_.counts["bookmark"];
        } else if (name == "text:note") {
            const std::string kind = node.attribute("text:note-class").value();
            ++facts_.counts[kind == "endnote" ? "endnote" : "footnote"];
            walkChildren(node.child("text:note-body"), story(ctx, QStringLiteral("note")));
        } else if (name == "text:list") {
            Context inner = ctx;
            if (const char* style = node.attribute("text:style-name").value(); *style)
                inner.listStyle = style;
            ++inner.listDepth;
            walkChildren(node, inner);
        } else if (name == "text:list-item" || name == "text:list-header") {
            Context inner = ctx;
            inner.listLevel = name == "text:list-item" ? ctx.listDepth : 0;
            walkChildren(node, inner);
        } else if (name == "table:table") {
            table(node, ctx);
        } else if (name == "table:table-row") {
            ++facts_.counts["table row"];
            walkChildren(node, ctx);
        } else if (name == "table:table-cell") {
            ++facts_.counts["table cell"];
            Context cell = story(ctx, ctx.place);
            cell.inTable = true;
            walkChildren(node, cell);
        } else if (name == "draw:frame") {
            if (node.child("draw:image"))
                ++facts_.counts["picture"];
            if (node.child("draw:text-box"))
                ++facts_.counts["text box"];
            if (node.child("draw:object") || node.child("draw:object-ole"))
                ++facts_.counts["embedded object"];
            walkChildren(node, story(ctx, QStringLiteral("text box")));
        } else if (kShapes.count(name)) {
            ++facts_.counts["drawing object"];
            walkChildren(node, story(ctx, QStringLiteral("text box")));
        } else {
            walkChildren(node, ctx);
        }
    }

    // The context of text that stands apart from its surroundings: a note,
    // a cell, a text box.
    static Context story(const Context& outer, const QString& place)
    {
        Context ctx;
        ctx.place = outer.place == QLatin1String("body") ? place : outer.place;
        ctx.inTable = outer.inTable;
        return ctx;
    }

    void table(pugi::xml_node node, const Context& ctx)
    {
        ++facts_.counts["table"];
        if (ctx.inTable)
            ++facts_.counts["nested table"];
        QStringList widths;
        for (const pugi::xpath_node& found : node.select_nodes("table:table-column|*/table:table-column")) {
            const pugi::xml_node column = found.node();
            const std::string width = get(resolved("table-column", column.attribute("table:style-name").value()),
                                          "Cstyle:column-width");
            for (int i = std::clamp(column.attribute("table:number-columns-repeated").as_int(1), 1, 1000); i > 0; --i)
                widths << roundedPoints(width);
        }
        facts_.tableColumns.push_back(widths.join(QLatin1Char(' ')));
        walkChildren(node, ctx);
    }

    void paragraph(pugi::xml_node node, const Context& outer)
    {
        Context ctx = outer;
        Paragraph paragraph;
        ctx.paragraph = &paragraph;
        ctx.props = resolved("paragraph", node.attribute("text:style-name").value());
        ctx.listLevel = 0;
        ctx.listDepth = 0;
        walkChildren(node, ctx);
        endWord(paragraph);

        const Props& p = ctx.props;
        QStringList layout;
        const std::string align = get(p, "Pfo:text-align");
        const char* kind = align == "center" ? "centred" : align == "end" || align == "right" ? "right-aligned"
                                                      : align == "justify"                      ? "justified"
                                                                                                : nullptr;
        if (kind) {
            layout << kind;
            ++facts_.counts[QString::fromLatin1(kind) + " paragraph"];
        }
        bool indented = false, spaced = false;
        for (const char* side : {"margin-left", "margin-right", "text-indent"}) {
            const QString v = roundedPoints(get(p, std::string("Pfo:") + side));
            if (v != QLatin1String("0")) {
                layout << QString::fromLatin1(side) + '=' + v;
                indented = true;
            }
        }
        for (const char* side : {"Pfo:margin-top", "Pfo:margin-bottom", "Pfo:line-height",
                                 "Pstyle:line-height-at-least", "Pstyle:line-spacing"}) {
            const std::string raw = get(p, side);
            const QString v = raw.find('%') != std::string::npos ? QString::fromStdString(raw) : roundedPoints(raw);
            if (v != QLatin1String("0") && v != QLatin1String("100%")) {
                layout << QString::fromLatin1(side + 1) + '=' + v;
                spaced = true;
            }
        }
        if (get(p, "Pstyle:writing-mode").rfind("rl", 0) == 0) {
            layout << "right-to-left";
            ++facts_.counts["right-to-left paragraph"];
        }
        if (outer.listLevel > 0) {
            const bool numbered = isNumbered(outer.listStyle, outer.listLevel);
            layout << QStringLiteral("list %1 %2").arg(outer.listLevel).arg(numbered ? "number" : "bullet");
            ++facts_.counts["list paragraph"];
            if (numbered)
                ++facts_.counts["numbered list paragraph"];
            if (outer.listLevel > 1)
                ++facts_.counts["list paragraph below level 1"];
        }
        facts_.counts["indented paragraph"] += indented;
        facts_.counts["spaced paragraph"] += spaced;
        ++facts_.counts["paragraph"];
        facts_.paragraphs.push_back({paragraph.words, layout.join(QLatin1Char(' '))});
    }

    bool isNumbered(const std::string& listStyle, int level) const
    {
        auto it = lists_.find(listStyle);
        if (it == lists_.end())
            return false;
        const std::string wanted = std::to_string(level);
        for (pugi::xml_node l : it->second.children("text:list-level-style-number"))
            if (wanted == l.attribute("text:level").value())
                return *l.attribute("style:num-format").value() != 0;
        return false;
    }

    void characters(const QString& text, const Context& ctx)
    {
        Paragraph* para = ctx.paragraph;
        if (!para)
            return;
        const bool hidden = get(ctx.props, "Ttext:display") == "none";
        const bool symbolFont = fontName(get(ctx.props, "Tstyle:font-name")) == QLatin1String("Symbol");
        const int position = positionOf(ctx.props);
        QString looks[3];
        bool known[3] = {false, false, false};
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = text[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
                ++i;
            }
            // Symbol-font letters are Greek letters, whichever way the file
            // encodes them (private-use codes or plain letters in that font).
            bool symbol = false;
            if (c >= 0xF020 && c <= 0xF0FF)
                c -= 0xF000, symbol = true;
            if ((symbol || symbolFont) && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
                c = c <= 'Z' ? kSymbolUpper[c - 'A'] : kSymbolLower[c - 'a'];
                symbol = true;
            }
            if (ctx.inField || !isWordCharacter(c)) {
                endWord(*para);
                continue;
            }
            const int s = int(scriptOf(c));
            if (!known[s]) {
                looks[s] = look(ctx.props, Script(s), true);
                known[s] = true;
            }
            const QString charLook = symbol ? look(ctx.props, Script(s), false) : looks[s];
            if (para->word.isEmpty()) {
                para->wordPlace = hidden ? QStringLiteral("hidden") : ctx.place;
                para->wordLook = para->lastLook = charLook;
            } else if (charLook != para->lastLook) {
                para->wordLook += QLatin1Char('|') + charLook;
                para->lastLook = charLook;
            }
            para->word += QString::fromUcs4(&c, 1);
            facts_.counts["linked character"] += ctx.inLink;
            facts_.counts["hidden character"] += hidden;
            facts_.counts["superscript character"] += position > 0;
            facts_.counts["subscript character"] += position < 0;
        }
    }

    void endWord(Paragraph& para)
    {
        if (para.word.isEmpty())
            return;
        facts_.words.push_back({para.wordPlace, para.word, para.wordLook});
        if (!para.words.isEmpty())
            para.words += QLatin1Char(' ');
        para.words += para.word;
        para.word.clear();
        para.wordLook.clear();
        para.lastLook.clear();
    }

    OdtFacts& facts_;
    std::map<std::string, QString> fonts_;
    std::map<std::string, pugi::xml_node> styles_, defaults_, lists_;
    std::map<std::string, Props> resolved_;
};

} // namespace

bool readOdtFacts(const QString& fodtPath, OdtFacts& facts, QString* error)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(fodtPath.toLocal8Bit().constData());
    if (!parsed) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(fodtPath, QString::fromUtf8(parsed.description()));
        return false;
    }
    const pugi::xml_node document = doc.child("office:document");
    if (!document.child("office:body").child("office:text")) {
        if (error)
            *error = QStringLiteral("%1: no text document").arg(fodtPath);
        return false;
    }
    facts = OdtFacts();
    Reader reader(document, facts);
    reader.run(document);
    return true;
}
