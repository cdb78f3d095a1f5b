#include "RoundTripFigures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>

namespace {

// The entries of `a` that `b` has no match for, one for one.
QStringList unmatched(const QStringList& a, const QStringList& b)
{
    QHash<QString, int> available;
    for (const QString& key : b)
        ++available[key];
    QStringList left;
    for (const QString& key : a) {
        int& n = available[key];
        if (n > 0)
            --n;
        else
            left << key;
    }
    return left;
}

const QChar kSeparator(0x1f);

QString joinedLine(const std::map<QString, int>& counts)
{
    QStringList parts;
    for (const auto& [kind, n] : counts)
        if (n)
            parts << QStringLiteral("%1 %2").arg(kind).arg(n);
    return parts.join(QLatin1String(", "));
}

std::map<QString, int> lostKinds(const RoundTripFigures& f, bool gained)
{
    std::map<QString, int> kinds;
    for (const auto& [kind, counts] : f.structures)
        kinds[kind] = std::max(0, gained ? counts.second - counts.first : counts.first - counts.second);
    return kinds;
}

} // namespace

bool RoundTripFigures::lossless() const
{
    if (!error.isEmpty() || wordsLost || wordsAdded || wordsRestyled || paragraphsRelaidOut || tablesReshaped)
        return false;
    return std::all_of(structures.begin(), structures.end(), [](const auto& s) { return s.second.first == s.second.second; });
}

QString RoundTripFigures::summary() const
{
    if (!error.isEmpty())
        return name + ": " + error;
    QString line = QStringLiteral("%1: %2 -> %3 bytes; %4 words: %5 lost, %6 added, %7 with another look; "
                                  "%8 paragraphs: %9 laid out differently; %10 tables reshaped")
                       .arg(name)
                       .arg(bytesBefore)
                       .arg(bytesAfter)
                       .arg(words)
                       .arg(wordsLost)
                       .arg(wordsAdded)
                       .arg(wordsRestyled)
                       .arg(paragraphs)
                       .arg(paragraphsRelaidOut)
                       .arg(tablesReshaped);
    if (wordsLost)
        line += "; words lost in " + joinedLine(wordsLostIn) + " (" + someLostWords.mid(0, 12).join(QLatin1Char(' ')) + ")";
    if (const QString lost = joinedLine(lostKinds(*this, false)); !lost.isEmpty())
        line += "; lost: " + lost;
    if (const QString gained = joinedLine(lostKinds(*this, true)); !gained.isEmpty())
        line += "; gained: " + gained;
    return line;
}

void RoundTripFigures::add(const RoundTripFigures& o)
{
    bytesBefore += o.bytesBefore;
    bytesAfter += o.bytesAfter;
    words += o.words;
    wordsLost += o.wordsLost;
    wordsAdded += o.wordsAdded;
    wordsRestyled += o.wordsRestyled;
    for (const auto& [place, n] : o.wordsLostIn)
        wordsLostIn[place] += n;
    paragraphs += o.paragraphs;
    paragraphsRelaidOut += o.paragraphsRelaidOut;
    tablesReshaped += o.tablesReshaped;
    for (const auto& [kind, counts] : o.structures) {
        structures[kind].first += counts.first;
        structures[kind].second += counts.second;
    }
}

RoundTripFigures compareFacts(const OdtFacts& before, const OdtFacts& after)
{
    RoundTripFigures f;
    QStringList words[2], looks[2], paragraphs[2], layouts[2];
    const OdtFacts* facts[2] = {&before, &after};
    for (int i = 0; i < 2; ++i) {
        for (const OdtWord& w : facts[i]->words) {
            words[i] << w.place + kSeparator + w.text;
            looks[i] << w.place + kSeparator + w.text + kSeparator + w.look;
        }
        for (const OdtParagraph& p : facts[i]->paragraphs) {
            paragraphs[i] << p.text;
            layouts[i] << p.text + kSeparator + p.layout;
        }
    }
    f.words = int(before.words.size());
    const QStringList lost = unmatched(words[0], words[1]);
    f.wordsLost = int(lost.size());
    for (const QString& key : lost) {
        ++f.wordsLostIn[key.section(kSeparator, 0, 0)];
        if (f.someLostWords.size() < 200)
            f.someLostWords << key.section(kSeparator, 1, 1);
    }
    f.wordsAdded = int(unmatched(words[1], words[0]).size());
    // A word lost is also a look lost; the rest kept their text only.
    f.wordsRestyled = int(unmatched(looks[0], looks[1]).size()) - f.wordsLost;
    f.paragraphs = int(before.paragraphs.size());
    f.paragraphsRelaidOut = int(unmatched(layouts[0], layouts[1]).size() - unmatched(paragraphs[0], paragraphs[1]).size());
    const auto tables = [](const OdtFacts& x) { return QStringList(x.tableColumns.begin(), x.tableColumns.end()); };
    const int tablesGone = std::max(0, int(before.tableColumns.size()) - int(after.tableColumns.size()));
    f.tablesReshaped = std::max(0, int(unmatched(tables(before), tables(after)).size()) - tablesGone);
    for (const auto& [kind, n] : before.counts)
        f.structures[kind].first = n;
    for (const auto& [kind, n] : after.counts)
        f.structures[kind].second = n;
    return f;
}

bool compareRtfFiles(const std::vector<std::pair<QString, QString>>& pairs, std::vector<RoundTripFigures>& figures,
                     QString* error)
{
    QTemporaryDir work;
    const QString in = work.filePath("in"), out = work.filePath("out"), profile = work.filePath("profile");
    QDir().mkpath(in);
    // Copies under names of their own: LibreOffice names each result after
    // its input, and an original and its copy often share a name.
    QStringList inputs;
    for (size_t i = 0; i < pairs.size(); ++i) {
        for (int side = 0; side < 2; ++side) {
            const QString source = side ? pairs[i].second : pairs[i].first;
            const QString copy = QStringLiteral("%1/%2-%3.rtf").arg(in).arg(i).arg(side);
            if (!QFile::copy(source, copy)) {
                if (error)
                    *error = QStringLiteral("cannot read %1").arg(source);
                return false;
            }
            inputs << copy;
        }
    }
    QProcess soffice;
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    soffice.start(QStringLiteral("soffice"),
                  QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(), "--headless",
                              "--norestore", "--convert-to", "fodt", "--outdir", out}
                      + inputs);
    if (!soffice.waitForStarted() || !soffice.waitForFinished(600'000) || soffice.exitStatus() != QProcess::NormalExit) {
        if (error)
            *error = QStringLiteral("LibreOffice (soffice) did not run: %1 %2")
                         .arg(soffice.errorString(), QString::fromLocal8Bit(soffice.readAll()));
        return false;
    }
    figures.clear();
    for (size_t i = 0; i < pairs.size(); ++i) {
        OdtFacts facts[2];
        QString why;
        bool read = true;
        for (int side = 0; side < 2 && read; ++side)
            read = readOdtFacts(QStringLiteral("%1/%2-%3.fodt").arg(out).arg(i).arg(side), facts[side], &why);
        RoundTripFigures f = read ? compareFacts(facts[0], facts[1]) : RoundTripFigures();
        f.error = read ? QString() : QStringLiteral("LibreOffice could not read it (%1)").arg(why);
        f.name = QFileInfo(pairs[i].first).fileName();
        f.bytesBefore = QFileInfo(pairs[i].first).size();
        f.bytesAfter = QFileInfo(pairs[i].second).size();
        figures.push_back(f);
    }
    return true;
}

QString figuresTable(const std::vector<RoundTripFigures>& figures)
{
    RoundTripFigures total;
    total.name = QStringLiteral("total");
    QString table = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9  %10\n")
                        .arg("file", -28)
                        .arg("bytes", 8)
                        .arg("after", 8)
                        .arg("words", 6)
                        .arg("lost", 5)
                        .arg("added", 5)
                        .arg("looks", 5)
                        .arg("paras", 5)
                        .arg("relaid", 6)
                        .arg("structures lost");
    const auto line = [](const RoundTripFigures& f) {
        if (!f.error.isEmpty())
            return QStringLiteral("%1 %2\n").arg(f.name, -28).arg(f.error);
        return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9  %10\n")
            .arg(f.name, -28)
            .arg(f.bytesBefore, 8)
            .arg(f.bytesAfter, 8)
            .arg(f.words, 6)
            .arg(f.wordsLost, 5)
            .arg(f.wordsAdded, 5)
            .arg(f.wordsRestyled, 5)
            .arg(f.paragraphs, 5)
            .arg(f.paragraphsRelaidOut, 6)
            .arg(joinedLine(lostKinds(f, false)));
    };
    for (const RoundTripFigures& f : figures) {
        table += line(f);
        total.add(f);
    }
    table += line(total);
    table += "words lost in: " + joinedLine(total.wordsLostIn) + '\n';
    table += QStringLiteral("tables reshaped: %1\n").arg(total.tablesReshaped);
    table += "structures gained: " + joinedLine(lostKinds(total, true)) + '\n';
    return table;
}
