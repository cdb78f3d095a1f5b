#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/StringTable.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class FormStringsTest : public ::testing::Test {
protected:
    void SetUp() override { globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR"); }
};

TEST(StringTableFormat, ParsesEscapesCommentsAndSkipsJunk)
{
    const auto t = ParseStringTable("# comment\n\n1\t\"a\\tb\\\\c\\\"d\\r\\n\"\n"
                                    "2\t\"  trailing  \"\r\n"
                                    "3 \"no tab\"\nx\t\"bad id\"\n4\tunquoted\n5\t\"\"\n");
    EXPECT_EQ(t.value(1), "a\tb\\c\"d\r\n");
    EXPECT_EQ(t.value(2), "  trailing  ");
    EXPECT_FALSE(t.contains(3));
    EXPECT_FALSE(t.contains(4));
    EXPECT_TRUE(t.contains(5));
    EXPECT_EQ(t.value(5), "");
}

TEST_F(FormStringsTest, ShippedTableKeepsBlanksAndSpecialTexts)
{
    EXPECT_EQ(LoadResString(2205), "Lectova");
    EXPECT_EQ(LoadResString(1018), "     New     ");
    EXPECT_EQ(LoadResString(2101), "Speaker:  ");
    EXPECT_TRUE(LoadResString(1103).startsWith("S&top "));
    EXPECT_TRUE(LoadResString(1103).endsWith("   "));
    EXPECT_TRUE(LoadResString(5204).endsWith('\t'));
    EXPECT_FALSE(FindResString(999999).has_value());
    EXPECT_EQ(LoadResString(999999), "");
    EXPECT_FALSE(LoadResIcon(101).isNull());
}

TEST_F(FormStringsTest, WindowCaptionIconAndLabels)
{
    QWidget form;
    form.setProperty("Tag", "2205");
    form.setWindowTitle("design");
    auto* named = new QLabel("design", &form);
    named->setProperty("Tag", "1901");
    auto* untagged = new QLabel("keep", &form);
    auto* partial = new QLabel("keep2", &form);
    partial->setProperty("Tag", "1901a"); // labels take the Tag only as a whole number
    auto* unknown = new QLabel("keep3", &form);
    unknown->setProperty("Tag", "4242");

    LoadFormStrings(&form);
    EXPECT_EQ(form.windowTitle(), "Lectova");
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(named->text(), "Show Software");
    EXPECT_EQ(untagged->text(), "keep");
    EXPECT_EQ(partial->text(), "keep2");
    EXPECT_EQ(unknown->text(), "keep3");
}

TEST_F(FormStringsTest, OtherControlsTakeLeadingNumbers)
{
    QWidget form;
    auto* button = new QPushButton("design", &form);
    button->setProperty("Tag", "0");
    button->setProperty("ToolTipText", "1129");
    auto* check = new QCheckBox("design", &form);
    check->setProperty("Tag", "1130 x");
    check->setProperty("ToolTipText", "x1131");
    auto* skinned = new QPushButton("design", &form);
    skinned->setProperty("TypeName", "Button");
    skinned->setProperty("Tag", "1131 x"); // a "Button" needs the whole number

    LoadFormStrings(&form);
    EXPECT_EQ(button->text(), "design");
    EXPECT_EQ(button->toolTip(), "Text to Speech");
    EXPECT_EQ(check->text(), "Stop");
    EXPECT_EQ(check->toolTip(), "");
    EXPECT_EQ(skinned->text(), "design");
}

TEST_F(FormStringsTest, MenusToolbarsTabsAndHeaders)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* bar = new QMenuBar(&form);
    layout->setMenuBar(bar);
    QMenu* file = bar->addMenu("1000");
    QAction* newItem = file->addAction("1001");
    QAction* sep = file->addSeparator();
    QAction* dash = file->addAction("-");
    QAction* named = file->addAction("Plain");

    auto* tools = new QToolBar(&form);
    QAction* speak = tools->addAction("design");
    speak->setProperty("Tag", "1131");

    auto* tabs = new QTabWidget(&form);
    tabs->addTab(new QWidget, "design0");
    tabs->addTab(new QWidget, "design1");
    tabs->tabBar()->setTabData(0, QVariantMap{{"Tag", "5040"}, {"ToolTipText", "1130"}});

    auto* list = new QTreeWidget(&form);
    list->setColumnCount(2);
    list->setHeaderLabels({"h0", "h1"});
    list->setProperty("ColumnTags", QStringList{"", "2107"});

    LoadFormStrings(&form);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(newItem->text(), "&New");
    EXPECT_EQ(sep->text(), "");
    EXPECT_EQ(dash->text(), "-");
    EXPECT_EQ(named->text(), "Plain");
    EXPECT_EQ(speak->text(), "Pause");
    EXPECT_EQ(speak->toolTip(), "Pause");
    EXPECT_EQ(tabs->tabText(0), "Settings");
    EXPECT_EQ(tabs->tabToolTip(0), "Stop");
    EXPECT_EQ(tabs->tabText(1), "design1");
    EXPECT_EQ(list->headerItem()->text(0), "h0");
    EXPECT_EQ(list->headerItem()->text(1), "Resume");
}

TEST_F(FormStringsTest, ScaleToDpi)
{
    EXPECT_EQ(ScaleTwipsValue(1500, 15.0), 1500);
    EXPECT_EQ(ScaleTwipsValue(1500, 12.0), 1200);
    EXPECT_EQ(ScaleTwipsValue(280, 10.0), 187);

    QWidget w;
    w.setGeometry(30, 40, 280, 70);
    const double tpp = TwipsPerPixelX(&w);
    ScaleToDpi(&w);
    EXPECT_EQ(w.width(), ScaleTwipsValue(280, tpp));
    EXPECT_EQ(w.height(), ScaleTwipsValue(70, tpp));
    if (tpp == 15.0) {
        EXPECT_EQ(w.geometry(), QRect(30, 40, 280, 70));
    }
    EXPECT_THROW(ScaleToDpi(nullptr), std::invalid_argument);
}

TEST(FormNumbers, WholeAndLeadingNumbers)
{
    int v = -1;
    EXPECT_TRUE(WholeNumber("2205", v));
    EXPECT_EQ(v, 2205);
    EXPECT_TRUE(WholeNumber(" 12 ", v));
    EXPECT_FALSE(WholeNumber("", v));
    EXPECT_FALSE(WholeNumber("abc", v));
    EXPECT_FALSE(WholeNumber("12a", v));
    EXPECT_EQ(LeadingNumber("1129 x"), 1129);
    EXPECT_EQ(LeadingNumber("1129"), 1129);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("x12"), 0);
}

} // namespace
