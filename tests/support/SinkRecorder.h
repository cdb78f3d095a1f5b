#pragma once
// Records what is played into the test desktop's null sink (its monitor),
// as mono 16-bit samples at 22050 Hz.

#include <QProcess>
#include <QString>
#include <vector>

class SinkRecorder {
public:
    static constexpr int kRate = 22050;

    // The sink to record, from TAMSEL_TEST_SINK; "" when there is none.
    static QString sink();

    // Starts recording; true once the recording runs.
    bool start();
    // Records on until more than `loud` samples of sound have come (at
    // most ms); whether they came.
    bool waitForSound(qsizetype loud, int ms);
    // Without blocking, for tests whose own event loop plays the sound:
    // takes what has been recorded so far and says how many loud samples
    // there are, and whether the recording has ended with ms of quiet.
    qsizetype loudSoFar();
    bool quietFor(int ms);
    // Stops, once what was played has been recorded (the sound has been
    // quiet for 300 ms), and returns what was recorded.
    std::vector<qint16> stop();

    // Index of the first and one past the last sample louder than threshold;
    // {0, 0} for silence.
    static std::pair<qsizetype, qsizetype> soundSpan(const std::vector<qint16>& s, int threshold = 300);
    // Number of samples louder than threshold (a measure of how much sound
    // there is, whatever the gaps).
    static qsizetype loudSamples(const std::vector<qint16>& s, int threshold = 300);
    // The longest quiet stretch inside the sound span, in samples.
    static qsizetype longestQuiet(const std::vector<qint16>& s, int threshold = 300);

private:
    void take();

    QProcess proc_;
    QByteArray raw_;          // recorded so far
    qsizetype counted_ = 0;   // bytes of raw_ whose loud samples are counted
    qsizetype loud_ = 0;
};
