#pragma once
// Wave files: reading one as mono 16-bit samples at a given rate, and a
// speech file stream that writes speech in a chosen format.

#include "SpeechVoice.h"

#include <QString>
#include <vector>

// Reads a sound file, mixes it down to one channel and resamples it to
// `rate`. Returns false with `error` set when the file cannot be read.
bool ReadSoundFileMono(const QString& path, int rate, std::vector<qint16>& samples, QString& error);

// Resamples mono 16-bit audio from one rate to another.
std::vector<qint16> ResampleMono(const std::vector<qint16>& in, int fromRate, int toRate);
