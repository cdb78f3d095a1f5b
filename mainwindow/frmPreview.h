#pragma once
// frmPreview ("More Voice"): sends the beginning of the active document to
// the maker's text-preview page and shows that page, with a loading
// animation until it is there; the same address also opens in the
// desktop's browser. Nothing in the program shows this window.

#include <QWidget>

#include <memory>

class BrowserControl;
class QLabel;
class QMovie;

class frmPreview : public QWidget {
    Q_OBJECT
public:
    explicit frmPreview(QWidget* parent = nullptr);
    ~frmPreview() override;

    QLabel* Picture1 = nullptr; // the loading animation
    std::unique_ptr<BrowserControl> WebBrowser1;

    void Form_Load();
    // Hides the loading animation.
    void WebBrowser1_DocumentComplete();

    // The preview address for a text: its first 500 characters, encoded.
    static QString PreviewAddress(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QMovie* loading_ = nullptr;
};
