#include "CommonDialog.h"

#include "core/MessageBox.h"

#include "RichTextBox.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>


namespace {

CommonDialogAnswerer& answerer()
{
    static CommonDialogAnswerer a;
    return a;
}

void takeFile(CommonDialog& d, const QString& path)
{
    d.FileName = path;
    d.FileTitle = path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

void showFileDialog(CommonDialog& d, bool save)
{
    QFileDialog dialog(d.owner);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(CommonDialog::toQtFilter(d.Filter));
    if (save && !(d.Flags & 2))
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!d.FileName.isEmpty())
        dialog.selectFile(d.FileName);
    QString chosen;
    if (ShowModal(&dialog) == QDialog::Accepted) {
        const QStringList files = dialog.selectedFiles();
        if (!files.isEmpty())
            chosen = files.first();
    }
    if (!chosen.isEmpty())
        takeFile(d, chosen);
}

// The font dialog: the platform's font list, sizes and effects, a colour
// button and OK / Cancel. The colour comes from a colour dialog of its own.
class FontChooser : public QDialog {
public:
    FontChooser(const QFont& font, const QColor& color, bool effects, QWidget* parent)
        : QDialog(parent), color_(color)
    {
        setObjectName(QStringLiteral("fontChooser"));
        setWindowTitle(QStringLiteral("Font"));
        auto* layout = new QVBoxLayout(this);

        fonts_ = new QFontDialog(this);
        fonts_->setObjectName(QStringLiteral("fontDialog"));
        fonts_->setWindowFlags(Qt::Widget);
        fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        fonts_->setCurrentFont(font);
        initial_ = fonts_->currentFont();
        layout->addWidget(fonts_);
        // Enter or Escape inside the font list end this dialog, not just
        // the embedded one.
        connect(fonts_, &QDialog::accepted, this, &QDialog::accept);
        connect(fonts_, &QDialog::rejected, this, &QDialog::reject);

        auto* row = new QHBoxLayout;
        colorButton_ = new QPushButton(QStringLiteral("&Colour..."), this);
        colorButton_->setObjectName(QStringLiteral("colorButton"));
        colorButton_->setVisible(effects);
        row->addWidget(colorButton_);
        row->addStretch(1);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        row->addWidget(buttons);
        layout->addLayout(row);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(colorButton_, &QPushButton::clicked, this, [this] { chooseColor(); });
        showColor();
    }

    QFont initialFont() const { return initial_; }
    QFont chosenFont() const { return fonts_->currentFont(); }
    QColor chosenColor() const { return color_; }

private:
    void chooseColor()
    {
        QColorDialog dialog(color_, this);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (ShowModal(&dialog) != QDialog::Accepted)
            return;
        const QColor c = dialog.selectedColor().isValid() ? dialog.selectedColor() : dialog.currentColor();
        if (c.isValid()) {
            color_ = c;
            showColor();
        }
    }

    // The button shows the colour as a swatch.
    void showColor()
    {
        QPixmap swatch(16, 16);
        swatch.fill(color_);
        colorButton_->setIcon(QIcon(swatch));
    }

    QFontDialog* fonts_ = nullptr;
    QPushButton* colorButton_ = nullptr;
    QFont initial_;
    QColor color_;
};

} // namespace

void SetCommonDialogAnswerer(CommonDialogAnswerer a)
{
    answerer() = std::move(a);
}

QString CommonDialog::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(QStringLiteral(";;"));
}

void CommonDialog::ShowOpen()
{
    if (answerer()) {
        answerer()(*this, Open);
        takeFile(*this, FileName);
        return;
    }
    showFileDialog(*this, false);
}

void CommonDialog::ShowSave()
{
    if (answerer()) {
        answerer()(*this, Save);
        takeFile(*this, FileName);
        return;
    }
    showFileDialog(*this, true);
}

void CommonDialog::ShowFont()
{
    if (answerer()) {
        answerer()(*this, Font);
        return;
    }
    QFont seed(FontName);
    if (FontSize > 0)
        seed.setPointSizeF(FontSize);
    seed.setBold(FontBold);
    seed.setItalic(FontItalic);
    seed.setStrikeOut(FontStrikethru);
    seed.setUnderline(FontUnderline);
    const QColor seedColor = RichTextBox::toQColor(Color);
    FontChooser dialog(seed, seedColor, (Flags & 256) != 0, owner);
    if (ShowModal(&dialog) != QDialog::Accepted)
        return; // the seeded values stay
    // What the user left alone keeps the seeded value (the font list may
    // show a stand-in for a family this machine lacks, or a rounded size).
    const QFont shown = dialog.initialFont();
    const QFont f = dialog.chosenFont();
    if (f.family() != shown.family())
        FontName = f.family();
    if (f.pointSizeF() != shown.pointSizeF() && f.pointSizeF() > 0)
        FontSize = static_cast<float>(f.pointSizeF());
    if (f.bold() != shown.bold())
        FontBold = f.bold();
    if (f.italic() != shown.italic())
        FontItalic = f.italic();
    if (f.strikeOut() != shown.strikeOut())
        FontStrikethru = f.strikeOut();
    if (f.underline() != shown.underline())
        FontUnderline = f.underline();
    if (dialog.chosenColor() != seedColor)
        Color = RichTextBox::toColorref(dialog.chosenColor());
}
