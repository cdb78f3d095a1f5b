#pragma once
// The recent-files list: the last five documents opened or saved, newest
// first, kept in the settings file (FrmSet/noRUF and FrmSet/Rf1..Rf5) and
// shown as the entries mnuRUF(1), mnuRUF(2), ... at the end of the main
// window's File menu. Paths are compared exactly, letter case included.
//
// Re-opening a listed file moves it to the top of the menu only; the stored
// order stays, and comes back with the next new entry or the next start.
// Settings failures reach the caller.

#include <QList>
#include <QString>

#include <cstdint>

class QAction;

// The window whose File menu shows the list.
class RecentFilesMenu {
public:
    // The entries made so far: element k is [k] (k from 1; index 0 is
    // unused and null).
    virtual const QList<QAction*>& recentFileItems() const = 0;
    // Creates element `index` (the next one) at the end of the File menu.
    virtual QAction* LoadRUFItem(int index) = 0;

protected:
    ~RecentFilesMenu() = default;
};

struct RecentFilesState {
    // The window whose File menu shows the list (set by LoadRecentFiles;
    // the window clears it when it goes).
    RecentFilesMenu* RufForm = nullptr;
    // Number of entries (0..RufMax), mirroring FrmSet/noRUF.
    std::int16_t RufCount = 0;
    // The limit: 5 once the list is loaded.
    std::int16_t RufMax = 0;
};

extern RecentFilesState recentFiles;

// Fills the File menu of `form` from the settings file.
void LoadRecentFiles(RecentFilesMenu* form);
// Records a file that was opened or saved.
void AddRecentFile(const QString& path);
// The path of an entry, exactly as stored (its caption shows it with any
// "&" doubled).
QString RecentFilePath(const QAction* entry);

// Steps of AddRecentFile for a path not yet in the menu.
void AddNewRecentFile(const QString& path);
void GrowRecentList();
void PushRecentFile(const QString& path);
void RefreshRecentMenu();
