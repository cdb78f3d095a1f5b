#include "RecentFiles.h"

#include "core/Globals.h"
#include "core/SettingsStore.h"

#include <QAction>

#include <algorithm>
#include <cmath>

RecentFilesState recentFiles;

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
    return ReadSetting(globals.IniFile, kFrmSet, entryKey(k), QString());
}

// The stored count as a whole number; anything else counts as no entries.
std::int16_t storedCount()
{
    bool ok = false;
    const double n = ReadSetting(globals.IniFile, kFrmSet, kCountKey, QStringLiteral("0")).trimmed().toDouble(&ok);
    if (!ok || n < 0)
        return 0;
    return static_cast<std::int16_t>(std::min<double>(std::llround(n), kRecentLimit));
}

// Menu element k (1-based), made when missing.
QAction* element(int k)
{
    if (!recentFiles.RufForm)
        return nullptr;
    if (k < recentFiles.RufForm->recentFileItems().size() && recentFiles.RufForm->recentFileItems()[k])
        return recentFiles.RufForm->recentFileItems()[k];
    return recentFiles.RufForm->LoadRUFItem(k);
}

// Shows `path` in an entry: an "&" of the path is shown as itself, not as
// the mark of an access key. The entry keeps the path as it is.
void showPath(QAction* entry, const QString& path)
{
    entry->setData(path);
    entry->setText(QString(path).replace(QLatin1Char('&'), QLatin1String("&&")));
}

int elementCount()
{
    return recentFiles.RufForm ? static_cast<int>(recentFiles.RufForm->recentFileItems().size()) - 1 : 0;
}

} // namespace

void LoadRecentFiles(RecentFilesMenu* form)
{
    recentFiles.RufForm = form;
    recentFiles.RufCount = 0;
    if (!readEntry(1).isEmpty()) {
        recentFiles.RufMax = kRecentLimit;
        recentFiles.RufCount = storedCount();
        for (int k = 1; k <= recentFiles.RufCount; ++k) {
            if (QAction* a = element(k))
                showPath(a, readEntry(k));
        }
    } else {
        WriteSetting(globals.IniFile, kFrmSet, kCountKey, QString::number(recentFiles.RufCount));
        recentFiles.RufMax = kRecentLimit;
    }
}

void AddRecentFile(const QString& path)
{
    if (!recentFiles.RufForm)
        return;
    const int n = elementCount();
    const QList<QAction*>& items = recentFiles.RufForm->recentFileItems();
    for (int i = 1; i <= n; ++i) {
        if (RecentFilePath(items[i]) == path) {
            // To the top of the menu; the stored list keeps its order.
            for (int k = i - 1; k >= 1; --k)
                showPath(items[k + 1], RecentFilePath(items[k]));
            showPath(items[1], path);
            return;
        }
        if (i == n) {
            AddNewRecentFile(path);
            return;
        }
    }
}

QString RecentFilePath(const QAction* entry)
{
    return entry ? entry->data().toString() : QString();
}

void AddNewRecentFile(const QString& path)
{
    GrowRecentList();
    PushRecentFile(path);
    RefreshRecentMenu();
}

void GrowRecentList()
{
    if (recentFiles.RufCount >= recentFiles.RufMax)
        return;
    const bool hadEntries = recentFiles.RufCount != 0;
    ++recentFiles.RufCount;
    if (hadEntries)
        element(recentFiles.RufCount);
    WriteSetting(globals.IniFile, kFrmSet, kCountKey, QString::number(recentFiles.RufCount));
}

void PushRecentFile(const QString& path)
{
    if (readEntry(1) == path)
        return;
    for (int n = recentFiles.RufMax - 1; n >= 1; --n)
        WriteSetting(globals.IniFile, kFrmSet, entryKey(n + 1), readEntry(n));
    WriteSetting(globals.IniFile, kFrmSet, entryKey(1), path);
}

void RefreshRecentMenu()
{
    if (recentFiles.RufCount > recentFiles.RufMax)
        return;
    for (int k = 1; k <= recentFiles.RufCount; ++k) {
        if (QAction* a = element(k))
            showPath(a, readEntry(k));
    }
}
