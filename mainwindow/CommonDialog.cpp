#include "CommonDialog.h"

#include "core/MessageBox.h"

#include "richtext/RichTextBox.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
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

// A name without an extension takes the chosen filter's (what the file
// is written as follows the name).
QString withFilterExtension(const CommonDialog& d, const QString& path)
{
    const QString extension = CommonDialog::filterExtension(d.Filter, d.FilterIndex);
    if (path.isEmpty() || extension.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + u'.' + extension;
}

void showFileDialog(CommonDialog& d, bool save)
{
    QFileDialog dialog(d.owner);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = CommonDialog::toQtFilter(d.Filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (d.FilterIndex >= 1 && d.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(d.FilterIndex - 1));
    if (save && !(d.Flags & 2))
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (save) {
        // The dialog adds the extension itself, so that it asks before
        // overwriting the file that is really meant.
        const auto followFilter = [&](const QString& shown) {
            dialog.setDefaultSuffix(CommonDialog::filterExtension(d.Filter, int(filters.indexOf(shown)) + 1));
        };
        followFilter(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    }
    if (!d.InitDir.isEmpty())
        dialog.setDirectory(d.InitDir);
    if (!d.FileName.isEmpty())
        dialog.selectFile(d.FileName);
    else if (save && !d.InitFileName.isEmpty())
        dialog.selectFile(d.InitFileName);
    QString chosen;
    if (ShowModal(&dialog) == QDialog::Accepted) {
        const QStringList files = dialog.selectedFiles();
        if (!files.isEmpty())
            chosen = files.first();
        const int index = int(filters.indexOf(dialog.selectedNameFilter()));
        if (index >= 0)
            d.FilterIndex = index + 1;
    }
    if (!chosen.isEmpty())
        takeFile(d, save ? withFilterExtension(d, chosen) : chosen);
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
        QString description = parts[i];
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        if (description.endsWith(shown) || description.endsWith(QStringLiteral("(%1)").arg(parts[i + 1])))
            description.chop(shown.size());
        out << QStringLiteral("%1 %2").arg(description.trimmed(), shown);
    }
    return out.join(QStringLiteral(";;"));
}

QString CommonDialog::filterExtension(const QString& filter, int index)
{
    const QStringList parts = filter.split(u'|');
    const int at = 2 * (index - 1) + 1;
    if (index < 1 || at >= parts.size())
        return {};
    const QString first = parts.at(at).section(u';', 0, 0).trimmed();
    if (!first.startsWith(QLatin1String("*.")))
        return {};
    const QString extension = first.mid(2);
    if (extension.isEmpty() || extension.contains(u'*') || extension.contains(u'?'))
        return {};
    return extension;
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
        takeFile(*this, withFilterExtension(*this, FileName));
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
    // The dialog picks its style by name: give it the name of the face
    // these values really give ("Book", "Bold", ...), or it takes one of
    // its own guess (an oblique face for a regular font).
    seed.setStyleName(QFontInfo(seed).styleName());
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
