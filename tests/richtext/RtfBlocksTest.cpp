// Paragraph layout, lists, tables and pictures of RTF files: what the
// control holds of them, and the same again after Save and Open.
#include "richtext/RichTextBox.h"
#include "richtext/rtf/RtfBlocks.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

int twips(double pixels)
{
    return qRound(pixels * 15);
}

// A line for each paragraph: its text, layout, list, place in a table and
// pictures.
QString structureOf(const QTextDocument& doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QStringList l{QLatin1Char('\'') + b.text() + QLatin1Char('\'')};
        const QTextBlockFormat f = b.blockFormat();
        const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
        l << (align & Qt::AlignHCenter    ? "centre"
              : align & Qt::AlignJustify ? "justify"
              : align & Qt::AlignRight   ? "right"
                                         : "");
        const std::pair<const char*, double> lengths[] = {{"li", f.leftMargin()}, {"ri", f.rightMargin()},
            {"fi", f.textIndent()}, {"sb", f.topMargin()}, {"sa", f.bottomMargin()}};
        for (const auto& [name, pixels] : lengths)
            l << (twips(pixels) ? name + QString::number(twips(pixels)) : QString());
        if (f.lineHeightType() == QTextBlockFormat::ProportionalHeight)
            l << QStringLiteral("line%1%").arg(f.lineHeight());
        if (f.lineHeightType() == QTextBlockFormat::FixedHeight)
            l << QStringLiteral("exactly%1").arg(twips(f.lineHeight()));
        if (f.layoutDirection() == Qt::RightToLeft)
            l << "rtl";
        if (const QTextList* list = b.textList()) {
            const QTextListFormat lf = list->format();
            // Bullets show no text of their own.
            const bool numbered = lf.style() <= QTextListFormat::ListDecimal;
            l << QStringLiteral("list level%1 style%2 from%3 '%4'")
                     .arg(lf.intProperty(rtf::property::kListLevel)).arg(lf.style())
                     .arg(lf.intProperty(rtf::property::kListStart)).arg(numbered ? list->itemText(b) : QString());
        }
        if (const QTextTable* t = QTextCursor(b).currentTable()) {
            const QTextTableCell c = t->cellAt(b.position());
            l << QStringLiteral("cell%1,%2").arg(c.row()).arg(c.column());
            if (c.rowSpan() > 1 || c.columnSpan() > 1)
                l << QStringLiteral("span%1x%2").arg(c.rowSpan()).arg(c.columnSpan());
            if (t->parentFrame() != doc.rootFrame())
                l << "nested";
            if (c.row() == 0 && c.column() == 0 && b.position() == c.firstPosition()) {
                QStringList widths;
                for (const QTextLength& w : t->format().columnWidthConstraints())
                    widths << QString::number(twips(w.rawValue()));
                l << QStringLiteral("table%1x%2 widths %3").arg(t->rows()).arg(t->columns()).arg(widths.join(','));
            }
        }
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
            if (!image.isValid())
                continue;
            const QByteArray data = doc.resource(QTextDocument::UserResource, QUrl(image.name())).toByteArray();
            const QByteArray kind = image.property(rtf::property::kPictureWords).toByteArray().split('\\')[1];
            l << QStringLiteral("picture %1x%2 %3 %4 bytes")
                     .arg(image.width()).arg(image.height()).arg(QString::fromLatin1(kind)).arg(data.size());
        }
        l.removeAll(QString());
        lines << l.join(' ');
    }
    return lines.join('\n');
}

QByteArray pngHex()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

struct Structure {
    const char* what;
    const char* rtf; // %PNG% stands for a PNG picture of 3 by 2 pixels, in hex
    const char* structure; // %PNGSIZE%: its size in bytes
};

const Structure kStructures[] = {
    {"alignment, indents, spacing, line spacing and direction",
     "{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 Centred\\par"
     "\\pard\\qj\\sl-300\\slmult0 Justified\\par\\pard\\rtlpar\\qr Right\\par}",
     "'Centred' centre li720 ri360 fi-360 sb120 sa240 line150%\n'Justified' justify exactly300\n'Right' right rtl"},
    {"layout from paragraph styles and from the document's defaults, cells spaced by their table",
     "{\\rtf1{\\stylesheet{\\ql\\sa160\\sl259\\slmult1 Normal;}{\\s1\\qc\\sb240\\sl259\\slmult1\\sbasedon0 heading 1;}}"
     "{\\*\\defpap\\sa160\\sl259\\slmult1}\\pard\\plain\\s1 Title\\par\\pard\\plain Body\\par"
     "\\trowd\\cellx2000\\pard\\plain\\intbl Cell\\cell\\row\\pard\\par}",
     "'Title' centre sb240 line107.917%\n'Body' sa160 line107.917%\n'Cell' line107.917% cell0,0 table1x1 widths 2000\n''"},
    {"bulleted and numbered lists with levels, their labels not doubled into the text",
     "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}\\li720}"
     "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}\\li1440}\\listid7}"
     "{\\list{\\listlevel\\levelnfc4\\levelstartat3{\\leveltext\\'02\\'00);}\\li720}\\listid9}}"
     "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid9\\ls2}}"
     "{\\listtext\\'95\\tab}\\pard\\ls1\\li720\\fi-360 One\\par{\\listtext o\\tab}\\pard\\ls1\\ilvl1 Inner\\par"
     "{\\listtext\\'95\\tab}\\pard\\ls1 Two\\par{\\listtext c)\\tab}\\pard\\ls2 Third\\par}",
     "'One' li720 list level0 style-1 from1 ''\n'Inner' li1440 list level1 style-2 from1 ''\n"
     "'Two' li720 list level0 style-1 from1 ''\n'Third' li720 list level0 style-5 from3 'a)'"},
    {"paragraphs numbered by \\pn count on across a paragraph between them",
     "{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li720 Wash\\par\\pard Note\\par"
     "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li720 Dry\\par}",
     "'Wash' li720 list level0 style-4 from1 '1.'\n'Note'\n'Dry' li720 list level0 style-4 from1 '2.'"},
    {"a table with column widths and a cell across two columns",
     "{\\rtf1 Before\\par\\trowd\\cellx1000\\cellx3000\\cellx4000\\pard\\intbl a\\cell b\\cell c\\cell\\row"
     "\\trowd\\cellx3000\\cellx4000\\pard\\intbl wide\\cell d\\cell\\row\\pard After\\par}",
     "'Before'\n'a' cell0,0 table2x3 widths 1000,2000,1000\n'b' cell0,1\n'c' cell0,2\n'wide' cell1,0 span1x2\n"
     "'d' cell1,2\n'After'"},
    {"cells merged down",
     "{\\rtf1\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl top\\cell x\\cell\\row"
     "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell y\\cell\\row\\pard\\par}",
     "''\n'top' cell0,0 span2x1 table2x2 widths 1000,1000\n'x' cell0,1\n'y' cell1,1\n''"},
    {"a nested table whose cells stand in its properties",
     "{\\rtf1\\pard Before\\par\\trowd\\cellx3000\\cellx6000\\pard\\intbl Outer one\\cell\\pard\\intbl Outer two "
     "{\\*\\nesttableprops\\trowd\\cellx1500\\cellx2900\\pard\\intbl\\itap2 Inner alpha\\nestcell Inner beta\\nestcell"
     "\\nestrow}{\\nonesttables\\par}\\cell\\row\\pard After\\par}",
     "'Before'\n'Outer one' cell0,0 table1x2 widths 3000,3000\n'' cell0,1\n"
     "'Outer two Inner alpha' cell0,0 nested table1x2 widths 1500,1400\n'Inner beta' cell0,1 nested\n"
     "'' cell0,1\n'After'"},
    {"a nested table first in its row, the rows of both defined apart",
     "{\\rtf1\\trowd\\cellx2000\\cellx3000\\pard\\intbl {\\*\\nesttableprops\\trowd\\cellx500\\cellx1500\\pard\\intbl"
     "\\itap2 in\\nestcell out\\nestcell\\nestrow}{\\nonesttables\\par}\\cell b\\cell\\row\\pard\\par}",
     "''\n'' cell0,0 table1x2 widths 2000,1000\n'in' cell0,0 nested table1x2 widths 500,1000\n'out' cell0,1 nested\n"
     "'' cell0,0\n'b' cell0,1\n''"},
    {"pictures as \\pict and in \\shppict, not their \\nonshppict copy",
     "{\\rtf1 A {\\pict\\pngblip\\picw3\\pich2\\picwgoal90\\pichgoal60 %PNG%} B "
     "{\\*\\shppict{\\pict\\pngblip\\picw3\\pich2 %PNG%}}{\\nonshppict{\\pict\\pngblip %PNG%}}\\par}",
     "'A \xEF\xBF\xBC B \xEF\xBF\xBC' picture 6x4 pngblip %PNGSIZE% bytes picture 3x2 pngblip %PNGSIZE% bytes"},
    {"a picture Qt cannot show: a box of its size, its data kept",
     "{\\rtf1 {\\pict\\emfblip\\picw2540\\pich1270 0102030405}\\par}",
     "'\xEF\xBF\xBC' picture 96x48 emfblip 5 bytes"},
    {"a picture in a shape, as LibreOffice writes it, not the shape's fill",
     "{\\rtf1 {\\field{\\*\\fldinst SHAPE }{\\fldrslt{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright720\\shpbottom480"
     "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picw80\\pich53 %PNG%}}}{\\sp{\\sn fillBlip}{\\sv {\\pict\\pngblip %PNG%}}}"
     "}}}}\\par}",
     "'\xEF\xBF\xBC' picture 48x32 pngblip %PNGSIZE% bytes"},
};

TEST(RtfBlocks, ParagraphsListsTablesAndPicturesComeBackAfterSaveAndOpen)
{
    QTemporaryDir dir;
    RichTextBox box;
    RichTextBox again;
    for (const Structure& s : kStructures) {
        SCOPED_TRACE(s.what);
        QFile in(dir.filePath("in.rtf"));
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write(QByteArray(s.rtf).replace("%PNG%", pngHex()));
        in.close();
        box.LoadFile(in.fileName(), RichTextBox::rtfRTF);
        const std::string expected =
            QString::fromUtf8(s.structure).replace("%PNGSIZE%", QString::number(pngHex().size() / 2)).toStdString();
        EXPECT_EQ(structureOf(*box.document()).toStdString(), expected);
        box.SaveFile(dir.filePath("out.rtf"), RichTextBox::rtfRTF);
        again.LoadFile(dir.filePath("out.rtf"), RichTextBox::rtfRTF);
        EXPECT_EQ(again.Text(), box.Text());
        EXPECT_EQ(structureOf(*again.document()).toStdString(), expected);
    }
}

} // namespace
