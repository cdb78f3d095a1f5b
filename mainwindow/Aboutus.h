#pragma once
// Aboutus: the About box, shown modeless from the Help menu and the tray.

#include <QDialog>

class QLabel;
class QPushButton;

class Aboutus : public QDialog {
    Q_OBJECT
public:
    explicit Aboutus(QWidget* parent = nullptr);

    QLabel* Picture1 = nullptr;    // the product picture
    QLabel* Label3 = nullptr;      // product name and version
    QLabel* Label2 = nullptr;      // copyright notice
    QLabel* Label1 = nullptr;      // the maker's copyright line
    QLabel* contactlbl = nullptr;  // contact line
    QLabel* Label4 = nullptr;      // edition
    QLabel* Label5 = nullptr;      // empty
    QPushButton* Command1 = nullptr; // "OK"

    // OK: unloads the box.
    void Command1_Click();

    // The product picture, drawn for the box.
    static QPixmap drawPicture();
};
