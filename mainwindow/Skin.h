#pragma once
// Button and form skins. A skin file (.skn) in the program folder is a Qt
// style sheet; images it names with relative url(...) paths are looked up
// beside the .skn file. Shipped file names are matched without regard to
// letter case, so "\Miniplay.skn" and "\miniplay.skn" name the same file.

#include <QString>

class QWidget;

class Skin {
public:
    // Reads the skin. `path` may be a full path (AppFolder + "\button.skn")
    // or a name inside the program folder ("\button.skn", "skins/x.skn");
    // backslashes are accepted. Returns false, and keeps nothing, when the
    // file is missing or unreadable.
    bool LoadSkin(const QString& path);

    // Gives `target` (and its child widgets) the loaded look. Without a
    // loaded skin, or with a null target, nothing is changed.
    void ApplySkin(QWidget* target) const;

    bool IsLoaded() const { return loaded_; }
    // The style sheet as applied, with image paths made absolute.
    const QString& StyleSheet() const { return styleSheet_; }
    // The file the skin was read from (empty when none).
    const QString& FileName() const { return fileName_; }

private:
    bool loaded_ = false;
    QString styleSheet_;
    QString fileName_;
};

// The full path of a file shipped in the program folder (AppFolder), found
// without regard to letter case. `name` may start with "\" or "/" and may use
// backslashes or hold sub-folders ("pic\popclose1.gif"). Returns an empty
// string when there is no such file.
QString FindProgramFile(const QString& name);

// The same lookup for any path: the longest existing leading part is kept as
// it stands and the rest is matched without regard to letter case. Relative
// paths are taken from `baseFolder`. Returns an empty string when not found.
QString FindFileNoCase(const QString& path, const QString& baseFolder);
