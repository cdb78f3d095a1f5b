// Writes one key of a settings file over and over, as fast as it can, so
// that a test can kill it in the middle of a write.
// Usage: settings_writer FILE COUNT
#include "core/SettingsStore.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const long count = std::strtol(argv[2], nullptr, 10);
    // A long value makes each save take long enough to be cut short.
    const QString padding(20000, u'x');
    for (long i = 0; i < count; ++i) {
        WriteSetting(file, "ReadSet", "Counter", QString::number(i));
        WriteSetting(file, "ReadSet", "Padding", padding + QString::number(i));
        if (i == 0) {
            std::puts("started");
            std::fflush(stdout);
        }
    }
    return 0;
}
