#pragma once
// A small key-value registry: keys are "\"-separated paths (letter case
// ignored), each holding named values that are strings or 32-bit numbers.
// Two roots: the user's (in $XDG_CONFIG_HOME/tamsel/registry.json) and the
// machine's (in <first of $XDG_CONFIG_DIRS>/tamsel/registry.json, read-only
// to the program unless run with the rights to write there).

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

enum class RegRoot { CurrentUser, LocalMachine };

enum class RegType { String = 1, Dword = 4 };

struct RegValue {
    RegType type = RegType::String;
    QString text;             // for String
    std::uint32_t number = 0; // for Dword
};

// The value, or nothing when the key or the value does not exist.
std::optional<RegValue> RegQueryValue(RegRoot root, const QString& subKey, const QString& name);
// Stores a value, creating the key. Returns false when the store cannot be
// written.
bool RegSetValue(RegRoot root, const QString& subKey, const QString& name, const RegValue& value);
// The file that holds a root.
QString RegistryFile(RegRoot root);

// The per-user settings of an application: the string value `key` under
// "Software\VB and VBA Program Settings\<app>\<section>" of the user's root.
bool SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);
std::optional<QString> GetSetting(const QString& app, const QString& section, const QString& key);
