// The install id and the message-id list of the server-message popup.
#include "frmPopup.h"

#include "core/Globals.h"
#include "core/ServerAddress.h"
#include "core/SettingsStore.h"

#include <QUuid>
#include <QWidget>
#include <QWindow>

#include <stdexcept>

namespace {

const QString kFrmSet = QStringLiteral("FrmSet");

// FrmSet/Msgid lives in IniFile, which is empty until the controller loads;
// an answer that arrives before then reads the same file by its other name.
QString messageListFile()
{
    return globals.IniFile.isEmpty() ? globals.SettingsFile : globals.IniFile;
}

} // namespace

QString GuidString(const QUuid& guid)
{
    QString text = QString::asprintf("%08X%04X%04X", guid.data1, guid.data2, guid.data3);
    for (const uchar byte : guid.data4)
        text += QString::asprintf("%02X", byte);
    return text;
}

QString NewGuidString()
{
    const QUuid guid = QUuid::createUuid();
    return guid.isNull() ? QString() : GuidString(guid);
}

QString GetNetId()
{
    const QString stored = ReadSetting(globals.SettingsFile, kFrmSet, QStringLiteral("GUID"), QString());
    return stored.isEmpty() ? NewGuidString() : stored;
}

bool IsMsgIdSuppressed(const QString& msgid)
{
    const QString list = ReadSetting(messageListFile(), kFrmSet, QStringLiteral("Msgid"), QString());
    if (list.isEmpty())
        return false;
    return list.split(QLatin1Char(';')).contains(msgid);
}

void SuppressMsgId(const QString& msgid)
{
    if (IsMsgIdSuppressed(msgid))
        return;
    const QString file = messageListFile();
    const QString list = ReadSetting(file, kFrmSet, QStringLiteral("Msgid"), QString());
    WriteSetting(file, kFrmSet, QStringLiteral("Msgid"), list.isEmpty() ? msgid : list + QLatin1Char(';') + msgid);
}

void MakeTopmost(QWidget* window)
{
    if (!window)
        throw std::invalid_argument("MakeTopmost: no window");
    QWidget* top = window->window();
    const Qt::WindowFlags flags = top->windowFlags() | Qt::WindowStaysOnTopHint;
    // QWidget::setWindowFlags would hide and re-create the window; the flag
    // goes to the widget's record and to the shown window in place instead.
    top->overrideWindowFlags(flags);
    if (QWindow* handle = top->windowHandle())
        handle->setFlags(flags);
    if (top->isVisible())
        top->raise();
}

QString MessageQueryUrl(const QString& netid)
{
    // The id holds only hexadecimal digits (or nothing): no encoding needed.
    return ServerUrl(QStringLiteral("/checkupdate.php?netid=") + netid + QStringLiteral("&version=9.6"));
}
