#pragma once
// frmListen: a small window that plays a voice sample page of the maker's
// web server. The document window's two sample buttons set `voicename` and
// show it; the page and caption are chosen when the window loads and stay
// until it is closed.

#include <QString>
#include <QWidget>

#include <memory>

class BrowserControl;

class frmListen : public QWidget {
    Q_OBJECT
public:
    explicit frmListen(QWidget* parent = nullptr);
    ~frmListen() override;

    // The voice whose samples are played: "Paul Voice" plays the male
    // sample page, any other name the female one.
    QString voicename;

    std::unique_ptr<BrowserControl> WebBrowser1;

    // Caption := voicename, and the sample page.
    void Form_Load();

    // The sample page for a voice name, on the maker's server.
    static QString SamplePage(const QString& voicename);
};
