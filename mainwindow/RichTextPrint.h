#pragma once
// Printing a document: the whole formatted content of a rich-text control,
// page after page, on the default printer, inside margins given in twips
// (1440 per inch) and measured from the edges of the paper. The control's
// own document is laid out anew for the page; the editor is not touched.
//
// File > Print and the document toolbar's Print button reach PrintRTF
// through frmMain::setRichTextPrinter; InstallRichTextPrinting puts it there
// at program start.
//
// With no printer the user is told so ("No printer is available.", titled
// with the product name); any other printer failure ends the job silently.

#include <QString>

#include <functional>

class RichTextBox;

// Prints the whole content of `rtf`. Margins smaller than the printer's
// unprintable border are used as they are (the edge is then cut off).
// Margins that leave no room for text print nothing.
void PrintRTF(RichTextBox* rtf, int LeftMargin, int TopMargin, int RightMargin, int BottomMargin);

// Makes PrintRTF the main window's printer.
void InstallRichTextPrinting();

// The message shown when there is no printer to print on.
QString NoPrinterMessage();

// Where printing goes. A non-empty path writes a PDF file there instead of
// using the default printer; an empty one goes back to the printer. When no
// path was set, the environment variable TAMSEL_PRINT_PDF is used the same
// way.
void SetPrintToPdf(const QString& path);
// The PDF file printing goes to, or "" for the default printer.
QString PrintToPdfPath();

// Test seam: answers the name of the default printer instead of the
// printing system; "" means there is none. Pass {} to ask the system again.
using DefaultPrinterLookup = std::function<QString()>;
void SetDefaultPrinterLookup(DefaultPrinterLookup lookup);
