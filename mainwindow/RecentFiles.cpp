#include "RecentFiles.h"

#include "core/Globals.h"
#include "core/SettingsStore.h"

#include <QAction>

#include <algorithm>
#include <cmath>

RecentFilesMenu* RufForm = nullptr;
std::int16_t RufCount = 0;
std::int16_t RufMax = 0;

namespace {

constexpr std::int16_t kRecentLimit = 5;

const QString kFrmSet = QStringLiteral("FrmSet");
const QString kCountKey = QStringLiteral("noRUF");

QString entryKey(int k)
{
    return QStringLiteral("Rf%1").arg(k);
}

QString readEntry(int k)
{
    return ReadSetting(IniFile, kFrmSet, entryKey(k), QString());
}

// The stored count as a whole number; anything else counts as no entries.
std::int16_t storedCount()
{
    bool ok = false;
    const double n = ReadSetting(IniFile, kFrmSet, kCountKey, QStringLiteral("0")).trimmed().toDouble(&ok);
    if (!ok || n < 0)
        return 0;
    return static_cast<std::int16_t>(std::min<double>(std::llround(n), kRecentLimit));
}

// Menu element k (1-based), made when missing.
QAction* element(int k)
{
    if (!RufForm)
        return nullptr;
    if (k < RufForm->recentFileItems().size() && RufForm->recentFileItems()[k])
        return RufForm->recentFileItems()[k];
    return RufForm->LoadRUFItem(k);
}

int elementCount()
{
    return RufForm ? static_cast<int>(RufForm->recentFileItems().size()) - 1 : 0;
}

} // namespace

void LoadRecentFiles(RecentFilesMenu* form)
{
    RufForm = form;
    RufCount = 0;
    if (!readEntry(1).isEmpty()) {
        RufMax = kRecentLimit;
        RufCount = storedCount();
        for (int k = 1; k <= RufCount; ++k) {
            if (QAction* a = element(k))
                a->setText(readEntry(k));
        }
    } else {
        WriteSetting(IniFile, kFrmSet, kCountKey, QString::number(RufCount));
        RufMax = kRecentLimit;
    }
}

void AddRecentFile(const QString& path)
{
    if (!RufForm)
        return;
    const int n = elementCount();
    for (int i = 1; i <= n; ++i) {
        if (RufForm->recentFileItems()[i]->text() == path) {
            // To the top of the menu; the stored list keeps its order.
            for (int k = i - 1; k >= 1; --k)
                RufForm->recentFileItems()[k + 1]->setText(RufForm->recentFileItems()[k]->text());
            RufForm->recentFileItems()[1]->setText(path);
            return;
        }
        if (i == n) {
            AddNewRecentFile(path);
            return;
        }
    }
}

void AddNewRecentFile(const QString& path)
{
    GrowRecentList();
    PushRecentFile(path);
    RefreshRecentMenu();
}

void GrowRecentList()
{
    if (RufCount >= RufMax)
        return;
    const bool hadEntries = RufCount != 0;
    ++RufCount;
    if (hadEntries)
        element(RufCount);
    WriteSetting(IniFile, kFrmSet, kCountKey, QString::number(RufCount));
}

void PushRecentFile(const QString& path)
{
    if (readEntry(1) == path)
        return;
    for (int n = RufMax - 1; n >= 1; --n)
        WriteSetting(IniFile, kFrmSet, entryKey(n + 1), readEntry(n));
    WriteSetting(IniFile, kFrmSet, entryKey(1), path);
}

void RefreshRecentMenu()
{
    if (RufCount > RufMax)
        return;
    for (int k = 1; k <= RufCount; ++k) {
        if (QAction* a = element(k))
            a->setText(readEntry(k));
    }
}
