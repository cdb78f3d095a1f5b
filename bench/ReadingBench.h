#pragma once
// Helpers shared by the parts of bench_reading.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <vector>

class QTemporaryDir;
class RichTextBox;
class EspeakVoice;
class ScriptedSpeechVoice;
class frmDocument;
class systemtray;

namespace readingbench {

// The settings folder and the controller of the run.
struct Session {
    QTemporaryDir* folder = nullptr;
    systemtray* tray = nullptr;
};
extern Session session;

double msSince(const QElapsedTimer& t);
// Lets the event loop run for `ms` milliseconds.
void pump(int ms);

template <class Pred>
bool pumpUntil(Pred pred, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    return pred();
}

void printStats(const char* label, const std::vector<double>& v);
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Hard-wrapped prose of about `size` characters, LF line breaks.
QString makeText(qsizetype size);
int sentenceStartFrom(RichTextBox* rtf, int from);
frmDocument* openDocument(const QString& path, double* openMs);
void closeDocument(frmDocument* doc);
ScriptedSpeechVoice* scriptedVoice();
EspeakVoice* espeakVoice();

// ReadingBench_files.cpp
void figureFiles();
void figureOpenCloseCycles();
void figureCloseWhileReading();

} // namespace readingbench
