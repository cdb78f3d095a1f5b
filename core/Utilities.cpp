#include "Utilities.h"

#include "MessageBox.h"
#include "StringTable.h"
#include "TextHelpers.h"

#include "platform/ShellExecute.h"
#include "platform/SystemServices.h"

#include <QCursor>
#include <QWidget>
#include <QWindow>

#include <stdexcept>

namespace {

ShellOpenAnswerer& shellOpenAnswerer()
{
    static ShellOpenAnswerer answerer;
    return answerer;
}

} // namespace

void SetShellOpenAnswerer(ShellOpenAnswerer answerer)
{
    shellOpenAnswerer() = std::move(answerer);
}

int ShellOpen(const QString& file, const QString& parameters)
{
    try {
        if (shellOpenAnswerer())
            return shellOpenAnswerer()(file, parameters);
        return ShellExecuteOpen(file, parameters, QStringLiteral("./"));
    } catch (...) {
        return 0;
    }
}

QString ShellErrorText(int result)
{
    switch (result) {
    case 2: return QStringLiteral("File not found");
    case 3: return QStringLiteral("Path not found");
    case 5: return QStringLiteral("Access denied");
    case 8: return QStringLiteral("Out of memory");
    case 11: return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26: return QStringLiteral("A sharing violation occurred");
    case 27: return QStringLiteral("Incomplete or invalid file association");
    case 28: return QStringLiteral("DDE Time out");
    case 29: return QStringLiteral("DDE transaction failed");
    case 30: return QStringLiteral("DDE busy");
    case 31: return QStringLiteral("No association for file extension");
    case 32: return QStringLiteral("DLL not found");
    default: return QStringLiteral("Unknown error");
    }
}

void ShellOpenWithMessage(const QString& file, const QString& parameters)
{
    try {
        const int result = ShellOpen(file, parameters);
        if (result <= 32)
            MsgBox(ShellErrorText(result), vbOKOnly, LoadResString(2205));
    } catch (...) {
    }
}

std::optional<QString> RegGetString(RegRoot root, const QString& subKey, const QString& valueName)
{
    const auto v = RegQueryValue(root, subKey, valueName);
    if (!v || v->type != RegType::String)
        return std::nullopt;
    const qsizetype nul = v->text.indexOf(QChar(u'\0'));
    return nul < 0 ? v->text : v->text.left(nul);
}

QString GetSystemDir()
{
    QString dir = SystemConfigDir();
    return StripNulls(dir);
}

bool IsCursorOverWindow(const QWidget* window)
{
    if (!window)
        throw std::invalid_argument("IsCursorOverWindow: no window");
    const QPoint p = QCursor::pos(window->screen());
    const QRect r = window->isWindow() ? window->frameGeometry()
                                       : QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    // Inclusive of the right and bottom edge coordinates (one past the last
    // pixel), as a window rectangle's right and bottom are.
    return p.x() >= r.left() && p.x() <= r.left() + r.width() && p.y() >= r.top()
        && p.y() <= r.top() + r.height();
}

void DragForm(QWidget* window)
{
    if (!window)
        throw std::invalid_argument("DragForm: no window");
    QWindow* handle = window->window()->windowHandle();
    if (handle)
        handle->startSystemMove();
}
