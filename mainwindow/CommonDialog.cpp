#include "CommonDialog.h"

#include "core/MessageBox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>


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
    QFontDialog dialog(seed, owner);
    if (ShowModal(&dialog) != QDialog::Accepted)
        return; // the seeded values stay
    const QFont f = dialog.selectedFont();
    FontName = f.family();
    FontSize = static_cast<float>(f.pointSizeF());
    FontBold = f.bold();
    FontItalic = f.italic();
    FontStrikethru = f.strikeOut();
    FontUnderline = f.underline();
}
