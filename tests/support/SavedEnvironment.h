#pragma once
// Remembers environment variables a test is about to change and puts them
// back (unset where they were unset) on restore() or at the latest when the
// object goes.

#include <QByteArray>
#include <QList>

#include <utility>

class SavedEnvironment {
public:
    SavedEnvironment() = default;
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;
    ~SavedEnvironment() { restore(); }

    // Remembers `name` as it is now; the first value remembered wins.
    void keep(const char* name)
    {
        for (const auto& kept : saved_)
            if (qstrcmp(kept.first, name) == 0)
                return;
        saved_.append({name, qgetenv(name)});
    }

    void restore()
    {
        for (const auto& [name, value] : saved_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        saved_.clear();
    }

private:
    QList<std::pair<const char*, QByteArray>> saved_;
};
