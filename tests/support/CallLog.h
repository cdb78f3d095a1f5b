#pragma once
// The log a recording double writes: one entry a call, its name and then
// its arguments, each after a space. Doubles that share one log keep the
// order of calls across them.

#include <QString>
#include <QStringList>

#include <functional>

class CallLog {
public:
    // A log of its own.
    CallLog()
        : log(own_)
    {
    }
    // Records into `shared`, which outlives it.
    explicit CallLog(QStringList& shared)
        : log(shared)
    {
    }
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

private:
    QStringList own_;

public:
    QStringList& log;

protected:
    // Records `name`, then runs `action` when the test gave one.
    void record(const char* name, const std::function<void()>& action)
    {
        log << QString::fromLatin1(name);
        if (action)
            action();
    }
};

// The entries of `log` made by the calls named in `names`, in order.
inline QStringList callsNamed(const QStringList& log, const QStringList& names)
{
    QStringList kept;
    for (const QString& entry : log)
        if (names.contains(entry.section(QLatin1Char(' '), 0, 0)))
            kept << entry;
    return kept;
}
