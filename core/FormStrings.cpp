#include "FormStrings.h"

#include "StringTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidget>

#include <cmath>
#include <stdexcept>

bool WholeNumber(const QString& text, int& value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        value = v;
    return ok;
}

int LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    bool ok = false;
    const int v = text.mid(start, i - start).toInt(&ok);
    return ok ? v : 0;
}

namespace {

// The id's text, when the table has it.
bool textForId(int id, QString& out)
{
    const auto s = FindResString(id);
    if (!s)
        return false;
    out = *s;
    return true;
}

bool textForWholeId(const QString& idText, QString& out)
{
    int id = 0;
    return WholeNumber(idText, id) && textForId(id, out);
}

QString prop(const QObject* o, const char* name)
{
    return o->property(name).toString();
}

// Sets the visible caption of a control that has one.
void setCaption(QWidget* w, const QString& text)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
}

QString typeNameOf(const QWidget* w)
{
    const QString explicitType = prop(w, "TypeName");
    if (!explicitType.isEmpty())
        return explicitType;
    if (qobject_cast<const QLabel*>(w))
        return QStringLiteral("Label");
    if (qobject_cast<const QTabBar*>(w) || qobject_cast<const QTabWidget*>(w))
        return QStringLiteral("TabStrip");
    if (qobject_cast<const QToolBar*>(w))
        return QStringLiteral("Toolbar");
    if (qobject_cast<const QTreeWidget*>(w) || qobject_cast<const QTableWidget*>(w))
        return QStringLiteral("ListView");
    return QString();
}

void loadMenuAction(QAction* a)
{
    QString text;
    if (!a->isSeparator() && textForWholeId(a->text(), text))
        a->setText(text);
}

void loadTabStrip(QWidget* w)
{
    QTabBar* bar = qobject_cast<QTabBar*>(w);
    if (auto* tw = qobject_cast<QTabWidget*>(w))
        bar = tw->tabBar();
    if (!bar)
        return;
    for (int i = 0; i < bar->count(); ++i) {
        const QVariantMap ids = bar->tabData(i).toMap();
        QString text;
        if (textForWholeId(ids.value(QStringLiteral("Tag")).toString(), text))
            bar->setTabText(i, text);
        if (textForWholeId(ids.value(QStringLiteral("ToolTipText")).toString(), text))
            bar->setTabToolTip(i, text);
    }
}

void loadToolbar(QToolBar* bar)
{
    const QList<QAction*> actions = bar->actions();
    QString text;
    for (QAction* a : actions) {
        if (textForWholeId(prop(a, "Tag"), text))
            a->setToolTip(text);
    }
    for (QAction* a : actions) {
        if (textForWholeId(prop(a, "Tag"), text)) {
            const QString tip = a->toolTip();
            a->setText(text);
            a->setToolTip(tip); // setText alone would not change an explicit tooltip
        }
    }
}

void loadListView(QWidget* w)
{
    const QStringList tags = w->property("ColumnTags").toStringList();
    QString text;
    for (int col = 0; col < tags.size(); ++col) {
        if (!textForWholeId(tags[col], text))
            continue;
        if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
            if (col < tree->columnCount())
                tree->headerItem()->setText(col, text);
        } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
            if (col < table->columnCount())
                table->setHorizontalHeaderItem(col, new QTableWidgetItem(text));
        }
    }
}

void loadControl(QWidget* w)
{
    const QString type = typeNameOf(w);
    QString text;
    if (type == u"Label" || type == u"SkinLabel" || type == u"Button") {
        if (textForWholeId(prop(w, "Tag"), text))
            setCaption(w, text);
    } else if (type == u"TabStrip") {
        loadTabStrip(w);
    } else if (type == u"Toolbar") {
        if (auto* bar = qobject_cast<QToolBar*>(w))
            loadToolbar(bar);
    } else if (type == u"ListView") {
        loadListView(w);
    } else {
        const int captionId = LeadingNumber(prop(w, "Tag"));
        if (captionId > 0 && textForId(captionId, text))
            setCaption(w, text);
        const int tipId = LeadingNumber(prop(w, "ToolTipText"));
        if (tipId > 0 && textForId(tipId, text))
            w->setToolTip(text);
    }
}

} // namespace

void LoadFormStrings(QWidget* form)
{
    if (!form)
        return;
    QString text;
    if (textForWholeId(prop(form, "Tag"), text))
        form->setWindowTitle(text);
    form->setWindowIcon(LoadResIcon(101));

    const QList<QWidget*> controls = form->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        // A tab widget's own bar is handled through the tab widget.
        if (qobject_cast<QTabBar*>(w) && qobject_cast<QTabWidget*>(w->parentWidget()))
            continue;
        if (qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w))
            continue;
        loadControl(w);
    }

    // Menu items: every action of the window's menu bar and menus, once.
    QSet<QAction*> seen;
    auto loadActions = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (!seen.contains(a)) {
                seen.insert(a);
                loadMenuAction(a);
            }
        }
    };
    for (QMenuBar* bar : form->findChildren<QMenuBar*>())
        loadActions(bar->actions());
    for (QMenu* menu : form->findChildren<QMenu*>())
        loadActions(menu->actions());
}

int ScaleTwipsValue(int value, double twipsPerPixel)
{
    return static_cast<int>(std::lround(value / 15.0 * twipsPerPixel));
}

namespace {
const QScreen* screenOf(const QWidget* widget)
{
    const QScreen* s = widget ? widget->screen() : nullptr;
    return s ? s : QGuiApplication::primaryScreen();
}
} // namespace

double TwipsPerPixelX(const QWidget* widget)
{
    const QScreen* s = screenOf(widget);
    return s && s->logicalDotsPerInchX() > 0 ? 1440.0 / s->logicalDotsPerInchX() : 15.0;
}

double TwipsPerPixelY(const QWidget* widget)
{
    const QScreen* s = screenOf(widget);
    return s && s->logicalDotsPerInchY() > 0 ? 1440.0 / s->logicalDotsPerInchY() : 15.0;
}

void ScaleToDpi(QWidget* target)
{
    if (!target)
        throw std::invalid_argument("ScaleToDpi: no window or control");
    // The horizontal factor serves all four values, in this order.
    const double tpp = TwipsPerPixelX(target);
    const int width = ScaleTwipsValue(target->width(), tpp);
    const int height = ScaleTwipsValue(target->height(), tpp);
    const int left = ScaleTwipsValue(target->x(), tpp);
    const int top = ScaleTwipsValue(target->y(), tpp);
    target->resize(width, height);
    target->move(left, top);
}

void ApplyFormSkin(QWidget*)
{
}
