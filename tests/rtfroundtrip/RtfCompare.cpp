// rtf_compare ORIGINAL COPY [ORIGINAL COPY ...]: what LibreOffice reads
// from each original and its copy, and what differs. Exits 0 when no copy
// lost or changed anything, 1 when one did, 2 when the files could not be
// compared.
#include "RoundTripFigures.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() % 2) {
        std::fprintf(stderr, "usage: rtf_compare ORIGINAL COPY [ORIGINAL COPY ...]\n");
        return 2;
    }
    std::vector<std::pair<QString, QString>> pairs;
    for (qsizetype i = 0; i < args.size(); i += 2)
        pairs.emplace_back(args[i], args[i + 1]);
    std::vector<RoundTripFigures> figures;
    QString error;
    if (!compareRtfFiles(pairs, figures, &error)) {
        std::fprintf(stderr, "rtf_compare: %s\n", qPrintable(error));
        return 2;
    }
    bool lossless = true;
    for (const RoundTripFigures& f : figures) {
        std::printf("%s\n", qPrintable(f.summary()));
        lossless = lossless && f.lossless();
    }
    std::printf("\n%s", qPrintable(figuresTable(figures)));
    return lossless ? 0 : 1;
}
