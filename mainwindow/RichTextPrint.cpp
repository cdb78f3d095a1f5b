// Printing a document. A copy of the control's document is laid out for the
// printer with the page size minus the margins; each page of that layout is
// then drawn at the margins of one sheet. The copy lays out against the
// printer itself, so fonts are measured as they will print.
#include "RichTextPrint.h"

#include "richtext/RichTextBox.h"
#include "frmMain.h"

#include "core/MessageBox.h"
#include "core/StringTable.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <memory>

namespace {

constexpr double kTwipsPerInch = 1440.0;

QString& pdfPath()
{
    static QString path;
    return path;
}

DefaultPrinterLookup& printerLookup()
{
    static DefaultPrinterLookup lookup;
    return lookup;
}

QString defaultPrinterName()
{
    if (printerLookup())
        return printerLookup()();
    return QPrinterInfo::defaultPrinter().printerName();
}

// The printer the job goes to, set up for whole-sheet drawing (the painter's
// origin is the corner of the paper); null when there is none. `noPrinter`
// tells that case apart from a printer that cannot be opened.
std::unique_ptr<QPrinter> openPrinter(bool& noPrinter)
{
    noPrinter = false;
    std::unique_ptr<QPrinter> printer;
    const QString pdf = PrintToPdfPath();
    if (!pdf.isEmpty()) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
    } else {
        const QString name = defaultPrinterName();
        if (name.isEmpty()) {
            noPrinter = true;
            return nullptr;
        }
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (info.isNull())
            return nullptr;
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    printer->setFullPage(true);
    return printer;
}

// Draws page `index` of a laid-out document into `area` of the sheet.
void drawPage(QPainter& painter, QTextDocument& doc, const QRectF& area, int index)
{
    const QRectF view(0, index * area.height(), area.width(), area.height());
    painter.save();
    painter.translate(area.left(), area.top() - view.top());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout moves a line that would cross the foot of a page to the
    // top of the next, but its position may come out a fraction of a pixel
    // above that page's start. Lines are picked by a view one pixel
    // narrower at both ends, so such a line is not also sent (clipped,
    // yet present in the job) to the page before.
    context.clip = view.adjusted(0, 1, 0, -1);
    // Text without a colour of its own prints black, whatever the screen's
    // colours are.
    context.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace

QString NoPrinterMessage()
{
    return QStringLiteral("No printer is available.");
}

void SetPrintToPdf(const QString& path)
{
    pdfPath() = path;
}

QString PrintToPdfPath()
{
    if (!pdfPath().isEmpty())
        return pdfPath();
    return qEnvironmentVariable("TAMSEL_PRINT_PDF");
}

void SetDefaultPrinterLookup(DefaultPrinterLookup lookup)
{
    printerLookup() = std::move(lookup);
}

void InstallRichTextPrinting()
{
    frmMain::setRichTextPrinter(&PrintRTF);
}

void PrintRTF(RichTextBox* rtf, int LeftMargin, int TopMargin, int RightMargin, int BottomMargin)
{
    if (!rtf)
        return;
    bool noPrinter = false;
    std::unique_ptr<QPrinter> printer = openPrinter(noPrinter);
    if (!printer) {
        // Pressing Print must not end in silence when there is nothing to
        // print on.
        if (noPrinter)
            MsgBox(NoPrinterMessage(), vbOKOnly + vbExclamation, LoadResString(2205), rtf->window());
        return;
    }

    // The drawing rectangle, in printer pixels from the corner of the paper;
    // computed once and used for every page.
    const double dpi = printer->resolution();
    const auto pixels = [dpi](int twips) { return twips * dpi / kTwipsPerInch; };
    const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
    const QRectF area(QPointF(pixels(LeftMargin), pixels(TopMargin)),
                      QPointF(paper.width() - pixels(RightMargin), paper.height() - pixels(BottomMargin)));
    // Margins that meet or cross leave no line to lay text on: no job.
    if (area.width() < 1 || area.height() < 1)
        return;

    // The layout copy: no frame margin of its own (the paper margins are the
    // only ones), wrapped to the page width even where the editor does not
    // wrap, and overlong words broken rather than run past the margin.
    std::unique_ptr<QTextDocument> doc(rtf->document()->clone());
    doc->setUndoRedoEnabled(false);
    doc->documentLayout()->setPaintDevice(printer.get());
    doc->setDocumentMargin(0);
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(option);
    doc->setPageSize(area.size());
    // An empty document still has one page.
    const int pages = std::max(1, doc->pageCount());

    QPainter painter;
    if (!painter.begin(printer.get()))
        return; // the printer could not start the job
    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !printer->newPage())
            break;
        drawPage(painter, *doc, area, index);
    }
    painter.end();
}
