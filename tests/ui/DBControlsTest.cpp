// Data-aware controls, grid, navigator and the record editor over a real
// table of a scratch database.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "DBControls.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "Database.h"
#include "MessageBoxes.h"
#include "RecordEditor.h"
#include "Table.h"

using namespace quen;

namespace {

class DBControls : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        qputenv("QUENPM_DB", dir->filePath("ui-test.sqlite").toUtf8());
        Database::open();
    }
    static void TearDownTestSuite()
    {
        Database::close();
        delete dir;
    }
    void SetUp() override
    {
        table = new TTable("QuenCrop.DB");
        table->emptyTable();
        table->open();
        const char* names[] = {"Alfalfa", "Beans", "Corn"};
        int mo = 4;
        for (const char* n : names) {
            table->append();
            table->field("Cop Name").setAsString(n);
            table->field("Plant Mo").setAsInteger(mo++);
            table->field("Humidity/Wind").setAsString("HS");
            table->field("Marked").setAsBoolean(false);
            table->field("Notes").setAsString(QString("notes of ") + n);
            table->post();
        }
        table->first();
        ds = new TDataSource;
        ds->setDataSet(table);
    }
    void TearDown() override
    {
        delete ds;
        table->close();
        delete table;
    }
    static QTemporaryDir* dir;
    TTable* table = nullptr;
    TDataSource* ds = nullptr;
};
QTemporaryDir* DBControls::dir = nullptr;

} // namespace

TEST_F(DBControls, EditsFollowTheCurrentRowAndWriteWhatTheUserTypes)
{
    TDBEdit name(ds, "Cop Name");
    TDBNumEdit month(ds, "Plant Mo", "ii", 1, 12);
    TDBMemo notes(ds, "Notes");
    TDBCheckBox marked(ds, "Marked", "Marked?");
    EXPECT_EQ(name.text(), "Alfalfa");
    EXPECT_EQ(month.text(), "4");
    EXPECT_EQ(notes.toPlainText(), "notes of Alfalfa");
    EXPECT_FALSE(marked.isChecked());

    table->next();
    EXPECT_EQ(name.text(), "Beans");
    EXPECT_EQ(month.text(), "5");

    // autoEdit off: the row may not be changed by typing.
    ds->setAutoEdit(false);
    emit ds->stateChanged();
    EXPECT_TRUE(name.isReadOnly());
    EXPECT_TRUE(month.isReadOnly());
    EXPECT_TRUE(notes.isReadOnly());
    marked.click();
    EXPECT_FALSE(marked.isChecked());
    EXPECT_EQ(table->state(), TTable::State::Browse);

    // autoEdit on: typing starts the edit and writes the field.
    ds->setAutoEdit(true);
    emit ds->stateChanged();
    EXPECT_FALSE(name.isReadOnly());
    name.show();
    name.selectAll();
    QTest::keyClicks(&name, "Broad beans");
    EXPECT_EQ(table->state(), TTable::State::Edit);
    EXPECT_EQ(table->field("Cop Name").asString(), "Broad beans");
    month.setText("7");
    EXPECT_TRUE(month.commit());
    EXPECT_EQ(table->field("Plant Mo").asInteger(), 7);
    marked.click();
    EXPECT_TRUE(table->field("Marked").asBoolean());
    table->post();

    table->first();
    table->next();
    EXPECT_EQ(name.text(), "Broad beans");
    EXPECT_EQ(month.text(), "7");
    EXPECT_TRUE(marked.isChecked());
}

TEST_F(DBControls, NumericEditRefusesOutOfRangeWithoutTouchingTheRow)
{
    TScriptedMessages msgs;
    TDBNumEdit month(ds, "Plant Mo", "ii", 1, 12);
    month.setText("13");
    EXPECT_FALSE(month.commit());
    EXPECT_EQ(msgs.count(), 1);
    EXPECT_EQ(month.text(), "4");
    EXPECT_EQ(table->state(), TTable::State::Browse);
    EXPECT_EQ(table->field("Plant Mo").asInteger(), 4);
}

TEST_F(DBControls, RadioGroupShowsAndStoresItemValues)
{
    TDBRadioGroup hw("Humidity/Wind");
    hw.setItems({"Humid - Moderate wind [HM]", "Humid - Strong wind [HS]", "Arid - Moderate wind [AM]",
                 "Arid - Strong wind [AS]"},
                {"HM", "HS", "AM", "AS"});
    hw.setFieldName("Humidity/Wind");
    hw.setDataSource(ds);
    EXPECT_EQ(hw.itemIndex(), 1);
    int changed = -1;
    QObject::connect(&hw, &TDBRadioGroup::changed, [&](int i) { changed = i; });
    hw.findChild<QRadioButton*>("RadioItem3")->click();
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(table->field("Humidity/Wind").asString(), "AS");
    table->post();

    // A value without an item selects nothing; numbers compare by value.
    table->edit();
    table->field("Humidity/Wind").setAsString("XX");
    emit ds->recordChanged();
    EXPECT_EQ(hw.itemIndex(), -1);
    table->cancel();
    TDBRadioGroup fw;
    fw.setItems({"a", "b"}, {"1.0", "0.8"});
    EXPECT_EQ(fw.indexOfValue("1"), 0);
    EXPECT_EQ(fw.indexOfValue("0.80"), 1);
    EXPECT_EQ(fw.indexOfValue("0.35"), -1);
}

TEST_F(DBControls, GridAndTableMoveTogether)
{
    TDBGrid grid;
    grid.addColumn("Cop Name", "Crop Name");
    grid.setDataSource(ds);
    TDBEdit name(ds, "Cop Name");
    ASSERT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->data(grid.model()->index(2, 0)).toString(), "Corn");
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Crop Name");
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.setCurrentIndex(grid.model()->index(2, 0));
    EXPECT_EQ(table->recNo(), 3);
    EXPECT_EQ(name.text(), "Corn");

    table->first();
    EXPECT_EQ(grid.currentIndex().row(), 0);

    // A new row and a deleted row show at once.
    table->append();
    table->field("Cop Name").setAsString("Dill");
    table->post();
    EXPECT_EQ(grid.model()->rowCount(), 4);
    table->first();
    table->remove();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 0)).toString(), "Beans");

    // Editing a row refreshes its cell without posting it.
    table->edit();
    table->field("Cop Name").setAsString("Bush beans");
    EXPECT_EQ(table->state(), TTable::State::Edit);
    EXPECT_EQ(grid.model()->data(grid.model()->index(table->recNo() - 1, 0)).toString(), "Bush beans");
    table->cancel();

    // A filter that hides rows re-reads the grid.
    table->setOnFilterRecord([](TTable& t) { return t.field("Cop Name").asString().startsWith("C"); });
    table->setFiltered(true);
    table->first();
    EXPECT_EQ(grid.model()->rowCount(), 1);
    table->setFiltered(false);
    table->first();
    EXPECT_EQ(grid.model()->rowCount(), 3);
}

// While a new row is being inserted the saved rows keep showing; the new row
// shows as an extra highlighted row until it is posted or cancelled.
TEST_F(DBControls, GridKeepsTheCurrentRowWhileANewRowIsInserted)
{
    TDBGrid grid;
    grid.addColumn("Cop Name", "Crop Name");
    grid.setDataSource(ds);
    TDBEdit name(ds, "Cop Name");
    auto cell = [&](int r) { return grid.model()->data(grid.model()->index(r, 0)).toString(); };
    table->next();                      // Beans is current
    ASSERT_EQ(grid.currentIndex().row(), 1);

    table->append();
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(cell(1), "Beans");
    EXPECT_EQ(grid.currentIndex().row(), 3);
    name.show();
    QTest::keyClicks(&name, "Alfalfa hay");
    EXPECT_EQ(table->state(), TTable::State::Insert);
    EXPECT_EQ(cell(0), "Alfalfa");
    EXPECT_EQ(cell(1), "Beans");
    EXPECT_EQ(cell(2), "Corn");
    EXPECT_EQ(cell(3), "Alfalfa hay");

    table->cancel();
    ASSERT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(cell(0), "Alfalfa");
    EXPECT_EQ(cell(1), "Beans");
    EXPECT_EQ(cell(2), "Corn");
    EXPECT_EQ(grid.currentIndex().row(), table->recNo() - 1);

    // Posted, the new row takes its place among the saved rows.
    table->append();
    table->field("Cop Name").setAsString("Barley");
    EXPECT_EQ(cell(1), "Beans");
    table->post();
    ASSERT_EQ(grid.model()->rowCount(), 4);
    QStringList names;
    for (int r = 0; r < 4; ++r) names << cell(r);
    EXPECT_TRUE(names.contains("Barley") && names.contains("Beans")) << names.join(',').toStdString();
    EXPECT_EQ(grid.currentIndex().row(), table->recNo() - 1);
    EXPECT_EQ(cell(table->recNo() - 1), "Barley");

    // An edit still refreshes the current row in place.
    table->edit();
    table->field("Cop Name").setAsString("Barley malt");
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(cell(table->recNo() - 1), "Barley malt");
    table->cancel();
}

TEST_F(DBControls, NavigatorMovesAndAsksBeforeDeleting)
{
    TScriptedMessages msgs;
    TDBNavigator nav;
    nav.setDataSource(ds);
    EXPECT_FALSE(nav.button(TDBNavigator::First)->isEnabled());
    EXPECT_TRUE(nav.button(TDBNavigator::Next)->isEnabled());
    EXPECT_FALSE(nav.button(TDBNavigator::Post)->isEnabled());
    nav.button(TDBNavigator::Last)->click();
    EXPECT_EQ(table->recNo(), 3);
    EXPECT_FALSE(nav.button(TDBNavigator::Next)->isEnabled());
    nav.button(TDBNavigator::Prior)->click();
    EXPECT_EQ(table->recNo(), 2);

    msgs.answer(MsgResult::No);
    nav.button(TDBNavigator::Delete)->click();
    EXPECT_EQ(table->recordCount(), 3);
    EXPECT_EQ(msgs.lastText(), "Delete record?");
    nav.button(TDBNavigator::Delete)->click();
    EXPECT_EQ(table->recordCount(), 2);

    nav.button(TDBNavigator::Edit)->click();
    EXPECT_EQ(table->state(), TTable::State::Edit);
    EXPECT_TRUE(nav.button(TDBNavigator::Post)->isEnabled());
    EXPECT_FALSE(nav.button(TDBNavigator::Next)->isEnabled());
    nav.button(TDBNavigator::Cancel)->click();
    EXPECT_EQ(table->state(), TTable::State::Browse);

    TDBNavigator moves(TDBNavigator::Moves);
    EXPECT_EQ(moves.button(TDBNavigator::Insert), nullptr);
}

TEST_F(DBControls, RecordEditorPostsOnStopEditAndHandlesMarks)
{
    TScriptedMessages msgs;
    QWidget window;
    window.setWindowTitle("Review or Edit Local Crop Database");
    auto* editBtn = new QPushButton(&window);
    auto* ins = new QPushButton(&window);
    auto* can = new QPushButton(&window);
    auto* del = new QPushButton(&window);
    TDBEdit name(ds, "Cop Name");
    TRecordEditor ed(&window, ds, editBtn, ins, can, del);
    ed.setMarkStatement("Update QuenCrop\nSet Marked = :NewValue");
    ed.start();
    EXPECT_TRUE(name.isReadOnly());

    editBtn->click();
    EXPECT_FALSE(name.isReadOnly());
    name.show();
    name.selectAll();
    QTest::keyClicks(&name, "Lucerne");
    EXPECT_EQ(table->state(), TTable::State::Edit);
    editBtn->click();   // Stop Edit posts
    EXPECT_EQ(table->state(), TTable::State::Browse);
    EXPECT_TRUE(name.isReadOnly());
    table->refresh();
    EXPECT_EQ(table->field("Cop Name").asString(), "Lucerne");

    // Cancel drops a pending change.
    editBtn->click();
    QTest::keyClicks(&name, "x");
    can->click();
    EXPECT_EQ(table->state(), TTable::State::Browse);
    EXPECT_EQ(name.text(), "Lucerne");

    // Delete asks with text and title.
    msgs.answer(MsgResult::No);
    EXPECT_FALSE(ed.deleteRecord("DELETE THIS CROP RECORD?", "Lucerne"));
    EXPECT_EQ(msgs.shown().last().caption, "Lucerne");
    EXPECT_EQ(table->recordCount(), 3);
    EXPECT_TRUE(ed.deleteRecord("DELETE THIS CROP RECORD?", "Lucerne"));
    EXPECT_EQ(table->recordCount(), 2);

    // Marks.
    ed.markCurrent();
    EXPECT_TRUE(table->field("Marked").asBoolean());
    EXPECT_EQ(table->state(), TTable::State::Browse);
    table->setOnFilterRecord([](TTable& t) { return t.field("Marked").asBoolean(); });
    ed.setShowAllMarked(true);
    table->first();
    EXPECT_EQ(table->recordCount(), 1);
    ed.setShowAllMarked(false);
    EXPECT_EQ(ed.markAll(), 2);
    table->first();
    for (; !table->eof(); table->next()) EXPECT_TRUE(table->field("Marked").asBoolean());
    ed.clearAllMarks();
    table->first();
    for (; !table->eof(); table->next()) EXPECT_FALSE(table->field("Marked").asBoolean());

    ins->click();
    EXPECT_EQ(table->state(), TTable::State::Insert);
    can->click();
    EXPECT_EQ(table->recordCount(), 2);
}
