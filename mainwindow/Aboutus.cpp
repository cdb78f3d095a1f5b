#include "Aboutus.h"

#include "frmSplash.h"

#include "core/ServerAddress.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

Aboutus::Aboutus(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Aboutus"));
    setWindowTitle(QStringLiteral("About Us"));
    setModal(false);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(drawPicture());

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        return l;
    };
    Label3 = label("Label3", QStringLiteral("Lectova 9.6 "));
    QFont big = Label3->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    Label3->setFont(big);
    Label4 = label("Label4", QStringLiteral("Home Edition"));
    Label1 = label("Label1", QStringLiteral("Copyright (C) Orvenic Software. All rights reserved."));
    const QString host = QUrl(ServerAddress()).host();
    contactlbl = label("contactlbl", QStringLiteral("Questions and suggestions: %1").arg(host));
    Label2 = label("Label2",
                   QStringLiteral("Warning: this computer program is protected by copyright law and "
                                  "international treaties. Unauthorized reproduction or distribution of "
                                  "this program, or any portion of it, may result in severe civil and "
                                  "criminal penalties, and will be prosecuted to the maximum extent "
                                  "possible under the law."));
    Label5 = label("Label5", QString());
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Aboutus::Command1_Click);

    auto* texts = new QVBoxLayout;
    for (QLabel* l : {Label3, Label4, Label1, contactlbl, Label5})
        texts->addWidget(l);
    texts->addStretch(1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Picture1, 0, 0, Qt::AlignTop);
    grid->addLayout(texts, 0, 1);
    grid->addWidget(Label2, 1, 0, 1, 2);
    grid->addWidget(Command1, 2, 1, Qt::AlignRight);
    setFixedWidth(520);
}

void Aboutus::Command1_Click()
{
    close();
}

QPixmap Aboutus::drawPicture()
{
    // The splash picture, small.
    return frmSplash::drawPicture().scaled(160, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
