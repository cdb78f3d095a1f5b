#pragma once
// frmPopup: at every normal start the program asks the maker's web server
// for a message, sending the installation's id and the program version.
// When the answer carries a message whose id the user has not turned off,
// the popup shows it in the bottom-right corner of the work area, above all
// other windows, with the message's title in its own title strip; otherwise
// it unloads itself unseen. Its check box turns the message's id off for
// good.
//
// The page is fetched with a plain network request first: the browser
// engine is loaded only when the page carries a message, so a start without
// one costs no browser processes and no start-up time.

#include <QString>
#include <QWidget>

#include <memory>

class BrowserControl;
class QCheckBox;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class QUuid;

// The text that marks a page as carrying a message (letter case counts).
inline constexpr char kMessageMarker[] = "navcodeshowctl_show";
// How long the message request may take.
constexpr int kMessageQueryTimeoutMs = 15000;
// The largest answer taken: the browser shows no page given to it that is
// larger. A larger answer is not read to its end and shows nothing.
constexpr qint64 kMessagePageLargest = 2 * 1024 * 1024;

// A new install id: 32 upper-case hexadecimal digits without separators,
// or "" when no GUID can be made.
QString NewGuidString();
// The id as NewGuidString writes it: the first field as 8 digits, the second
// and third as 4 each, then the eight bytes of the last as 2 each.
QString GuidString(const QUuid& guid);
// FrmSet/GUID from SettingsFile when not empty, otherwise a new id (which
// this does not store).
QString GetNetId();
// True when msgid equals one of the ";"-separated items of FrmSet/Msgid.
bool IsMsgIdSuppressed(const QString& msgid);
// Adds msgid to FrmSet/Msgid unless it is listed already.
void SuppressMsgId(const QString& msgid);
// Puts a shown window above all others without moving or resizing it.
void MakeTopmost(QWidget* window);
// The address of the message page for an install id.
QString MessageQueryUrl(const QString& netid);

class frmPopup : public QWidget {
    Q_OBJECT
public:
    explicit frmPopup(QWidget* parent = nullptr);
    ~frmPopup() override;

    // The popup while it is loaded, else null.
    static frmPopup* instance();
    // Unloads the popup, if loaded (at the program's exit).
    static void UnloadAll();

    // The message page; made only when the answer carries a message.
    std::unique_ptr<BrowserControl> WebBrowser1;
    QLabel* Label1 = nullptr;  // the message title
    QLabel* Image1 = nullptr;  // the title strip; drags the window
    QLabel* Image2 = nullptr;  // the close picture
    QLabel* Image3 = nullptr;  // the program's picture in the strip
    QCheckBox* Check1 = nullptr; // "Do not show this any more"
    QTimer* Timer1 = nullptr;  // 12000 ms after the popup was shown, once

    // Places the (hidden) window at the bottom right of the work area.
    void Form_Load();
    // Stores the id in FrmSet/GUID of SettingsFile and asks for the page.
    void Query();
    // Closes and deletes the popup; Form_Unload runs first.
    void Unload();
    // With the check box checked, adds the message's id to FrmSet/Msgid.
    void Form_Unload();
    void Timer1_Timer();

    // The message id read from the page when it loaded ("" before).
    const QString& messageId() const { return msgid_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // Takes what has come of the answer; aborts the request when the
    // answer grows past kMessagePageLargest.
    void readAnswer(QNetworkReply* reply);
    // The answer to the request: unloads, or loads the page to be shown.
    void queryAnswered(QNetworkReply* reply);
    // The loaded page's body, message id and title, read through its DOM.
    void readPage();
    void pageRead(const QVariant& result);

    QNetworkAccessManager* net_ = nullptr;
    QByteArray answer_;
    bool answerTooLarge_ = false;
    QString msgid_;
    bool pageHandled_ = false;
    bool unloaded_ = false;
};
