#include "support/fakeuserprompts.h"

#include "model/appdata.h"
#include "model/currentflow.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "properties/propertygrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using model::NodeIdentity;

Q_DECLARE_METATYPE(NodeIdentity)

namespace {
// Nodes of the demonstration flow.
const NodeIdentity kHangup{QStringLiteral("9_"), QStringLiteral("14_"), QStringLiteral("hangup"),
                           1, 2};
const NodeIdentity kOption{QStringLiteral("5_"), QStringLiteral("6_"),
                           QStringLiteral("get option digits"), 1, 2};
const NodeIdentity kRecord{QStringLiteral("6_"), QStringLiteral("8_"),
                           QStringLiteral("record message"), 1, 2};
const NodeIdentity kGreeting{QStringLiteral("1_"), QStringLiteral("2_"),
                             QStringLiteral("play main greetings"), 1, 2};
} // namespace

class TestPropertyGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsWithHeadingsOnly();
    void showsFieldsOfCallFunction_data();
    void showsFieldsOfCallFunction();
    void nodeWithoutPropertiesShowsHeadingsOnly_data();
    void nodeWithoutPropertiesShowsHeadingsOnly();
    void typedCharacterReplacesValue();
    void spaceEnterAndDoubleClickKeepValue_data();
    void spaceEnterAndDoubleClickKeepValue();
    void escapeDropsEdit();
    void enterKeepsEditorThenDownWrites();
    void upAndDownFromEditorWrite();
    void clickOnAnotherCellWrites();
    void blankIsNeverWritten_data();
    void blankIsNeverWritten();
    void oversizeValueIsRefused();
    void upOnFirstRowAndDownOnLastRowDoNotMove();
    void fixedCellsNeverBecomeCurrent();
    void blankRowOpensNoEditor();
    void reloadEmptiesEditorWithoutHidingAndWritesNothing();
    void nullPromptShowsBlankAndTakesText();
    void quotesInPromptAndNodeText();
    void fieldValue();
    void clickReportsCellText();

private:
    QString stored(const NodeIdentity &node, const QString &column);
    QRect cellRect(int row, int column) const;
    void typeInto(int row, const QString &text);

    std::unique_ptr<QTemporaryDir> m_dir;
    model::CurrentFlow m_current;
    FakeUserPrompts m_prompts;
    std::unique_ptr<properties::PropertyGrid> m_grid;
    QTableWidget *m_fg2 = nullptr;
    QLineEdit *m_editor = nullptr;
};

void TestPropertyGrid::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const model::StartupReport report = model::initialiseData(m_dir->path());
    QVERIFY2(report.flowOk, qPrintable(report.problems.join(u'\n')));
    m_current = {model::demoflow::path(m_dir->path()), model::demoflow::tableName()};
    m_prompts.reset();
    m_grid = std::make_unique<properties::PropertyGrid>(m_current, m_prompts);
    m_fg2 = m_grid->findChild<QTableWidget *>(QStringLiteral("fg2"));
    m_editor = m_grid->findChild<QLineEdit *>(QStringLiteral("txtedit"));
    QVERIFY(m_fg2);
    QVERIFY(m_editor);
    m_grid->show();
    m_grid->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_grid.get()));
}

void TestPropertyGrid::cleanup()
{
    m_grid.reset();
    m_dir.reset();
}

QString TestPropertyGrid::stored(const NodeIdentity &node, const QString &column)
{
    model::FlowStore store(m_current.databasePath, m_current.table);
    QString error;
    const auto row = store.fetchRow(node, &error);
    if (!row)
        return QStringLiteral("<no row: %1>").arg(error);
    const QVariant v = row->value(column);
    return v.isNull() ? QStringLiteral("<null>") : v.toString();
}

QRect TestPropertyGrid::cellRect(int row, int column) const
{
    return m_fg2->visualItemRect(m_fg2->item(row, column));
}

// Opens the editor on a row by typing the first character, then types the rest.
void TestPropertyGrid::typeInto(int row, const QString &text)
{
    m_fg2->setCurrentCell(row, 1);
    QTest::keyClick(m_fg2, text.at(0).toLatin1());
    QVERIFY(m_editor->isVisible());
    QTest::keyClicks(m_editor, text.mid(1));
}

void TestPropertyGrid::startsWithHeadingsOnly()
{
    auto *label = m_grid->findChild<QLabel *>(QStringLiteral("Label7"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Click the call function below to set properties "
                                           "here  ----------------->"));
    QCOMPARE(m_fg2->item(0, 0)->text(), QStringLiteral("Property"));
    QCOMPARE(m_fg2->item(0, 1)->text(), QStringLiteral("Settings"));
    for (int r = 1; r < 10; ++r)
        QVERIFY(m_fg2->item(r, 0)->text().isEmpty());
    // 2925 twips at 15 twips a pixel.
    QCOMPARE(m_fg2->columnWidth(1), 195);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_fg2->currentRow(), 1);
    QCOMPARE(m_fg2->currentColumn(), 1);
}

void TestPropertyGrid::showsFieldsOfCallFunction_data()
{
    QTest::addColumn<NodeIdentity>("node");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("hangup") << kHangup
                            << QStringList{"voicefile", "prompttxt"}
                            << QStringList{"goodbye.wav", "type text to be spoken here."};
    QTest::newRow("get option digits")
        << kOption
        << QStringList{"voicefile", "FirstTimeoutInterval", "InterTimeoutInterval", "IgnoreKeys",
                       "inputstyle", "InputTerm", "inputtype", "prompttxt"}
        << QStringList{".wav", "30", "30", "true", "cut-through: no", "#", "text",
                       "type text to be spoken here."};
    QTest::newRow("record message")
        << kRecord
        << QStringList{"voicefile", "FirstTimeoutInterval", "InterTimeoutInterval", "IgnoreKeys",
                       "MaxReclen", "InputTerm", "prompttxt"}
        << QStringList{"mainmessage.wav", "30", "30", "true", "60", "#",
                       "type text to be spoken here."};
}

void TestPropertyGrid::showsFieldsOfCallFunction()
{
    QFETCH(NodeIdentity, node);
    QFETCH(QStringList, names);
    QFETCH(QStringList, values);
    // A node with more fields first, so that stale rows would show.
    m_grid->loadNode(kOption);
    m_grid->loadNode(node);
    QCOMPARE(m_fg2->rowCount(), 10);
    QCOMPARE(m_fg2->columnCount(), 2);
    QCOMPARE(m_fg2->item(0, 0)->text(), QStringLiteral("Property"));
    QCOMPARE(m_fg2->item(0, 1)->text(), QStringLiteral("Settings"));
    for (int r = 1; r < 10; ++r) {
        const int i = r - 1;
        QCOMPARE(m_fg2->item(r, 0)->text(), i < names.size() ? names.at(i) : QString());
        QCOMPARE(m_fg2->item(r, 1)->text(), i < values.size() ? values.at(i) : QString());
    }
    QCOMPARE(m_grid->node(), std::optional<NodeIdentity>(node));
}

void TestPropertyGrid::nodeWithoutPropertiesShowsHeadingsOnly_data()
{
    QTest::addColumn<NodeIdentity>("node");
    QTest::addColumn<bool>("addRow");
    QTest::newRow("unknown text with quotes")
        << NodeIdentity{"0_", "40_", QStringLiteral("say \"hi\" 'now'"), 1, 2} << true;
    QTest::newRow("no row yet") << NodeIdentity{"9_", "41_", "hangup", 1, 2} << false;
}

void TestPropertyGrid::nodeWithoutPropertiesShowsHeadingsOnly()
{
    QFETCH(NodeIdentity, node);
    QFETCH(bool, addRow);
    if (addRow) {
        model::FlowStore store(m_current.databasePath, m_current.table);
        QString error;
        QVERIFY2(store.addRow(node, &error), qPrintable(error));
    }
    m_grid->loadNode(kOption);
    m_grid->loadNode(node);
    QCOMPARE(m_fg2->item(0, 0)->text(), QStringLiteral("Property"));
    for (int r = 1; r < 10; ++r) {
        QVERIFY(m_fg2->item(r, 0)->text().isEmpty());
        QVERIFY(m_fg2->item(r, 1)->text().isEmpty());
    }
    QVERIFY(m_grid->fieldValue(QStringLiteral("voicefile")).isNull());
    // Nothing to edit.
    m_fg2->setCurrentCell(1, 1);
    QTest::keyClick(m_fg2, 'x');
    QVERIFY(!m_editor->isVisible());
}

void TestPropertyGrid::typedCharacterReplacesValue()
{
    m_grid->loadNode(kHangup);
    m_fg2->setCurrentCell(1, 1);
    QTest::keyClick(m_fg2, 'x');
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_editor->text(), QStringLiteral("x"));
    QCOMPARE(m_editor->cursorPosition(), 1);
    QVERIFY(m_editor->hasFocus());
    // The editor lies over the current cell.
    QVERIFY(cellRect(1, 1).contains(m_editor->geometry().center()));
    // Nothing is written before the cell is left.
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));
}

void TestPropertyGrid::spaceEnterAndDoubleClickKeepValue_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("space") << 0;
    QTest::newRow("enter") << 1;
    QTest::newRow("double-click") << 2;
}

void TestPropertyGrid::spaceEnterAndDoubleClickKeepValue()
{
    QFETCH(int, how);
    m_grid->loadNode(kHangup);
    m_fg2->setCurrentCell(2, 1);
    if (how == 0)
        QTest::keyClick(m_fg2, Qt::Key_Space);
    else if (how == 1)
        QTest::keyClick(m_fg2, Qt::Key_Return);
    else {
        // A real double-click: the first click moves to the cell, the second opens it.
        QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(1, 1).center());
        QTest::mouseDClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(1, 1).center());
    }
    const QString value = how == 2 ? QStringLiteral("goodbye.wav")
                                   : QStringLiteral("type text to be spoken here.");
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_editor->text(), value);
    QCOMPARE(m_editor->cursorPosition(), int(value.size()));
    QVERIFY(m_editor->hasFocus());
}

void TestPropertyGrid::escapeDropsEdit()
{
    m_grid->loadNode(kHangup);
    typeInto(1, QStringLiteral("other.wav"));
    QTest::keyClick(m_editor, Qt::Key_Escape);
    QVERIFY(!m_editor->isVisible());
    QVERIFY(m_fg2->hasFocus());
    QTest::keyClick(m_fg2, Qt::Key_Down);
    QCOMPARE(m_fg2->currentRow(), 2);
    QCOMPARE(m_fg2->item(1, 1)->text(), QStringLiteral("goodbye.wav"));
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));
    QVERIFY(m_prompts.messages.isEmpty());
}

void TestPropertyGrid::enterKeepsEditorThenDownWrites()
{
    m_grid->loadNode(kHangup);
    typeInto(1, QStringLiteral("hello.wav"));
    QTest::keyClick(m_editor, Qt::Key_Return);
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_editor->text(), QStringLiteral("hello.wav"));
    QVERIFY(m_fg2->hasFocus());
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));

    QTest::keyClick(m_fg2, Qt::Key_Down);
    QCOMPARE(m_fg2->currentRow(), 2);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_fg2->item(1, 1)->text(), QStringLiteral("hello.wav"));
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("hello.wav"));
    QCOMPARE(stored(kHangup, "prompttxt"), QStringLiteral("type text to be spoken here."));
    QVERIFY(m_prompts.messages.isEmpty());
}

void TestPropertyGrid::upAndDownFromEditorWrite()
{
    m_grid->loadNode(kOption);
    typeInto(2, QStringLiteral("15"));
    QTest::keyClick(m_editor, Qt::Key_Down);
    QCOMPARE(m_fg2->currentRow(), 3);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(stored(kOption, "FirstTimeoutInterval"), QStringLiteral("15"));

    typeInto(3, QStringLiteral("9"));
    QTest::keyClick(m_editor, Qt::Key_Up);
    QCOMPARE(m_fg2->currentRow(), 2);
    QCOMPARE(stored(kOption, "InterTimeoutInterval"), QStringLiteral("9"));
    // Only the edited fields changed.
    QCOMPARE(stored(kOption, "InputTerm"), QStringLiteral("#"));
    QCOMPARE(stored(kOption, "voicefile"), QStringLiteral(".wav"));
}

void TestPropertyGrid::clickOnAnotherCellWrites()
{
    m_grid->loadNode(kHangup);
    typeInto(2, QStringLiteral("Press one."));
    QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(1, 1).center());
    QCOMPARE(m_fg2->currentRow(), 1);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(stored(kHangup, "prompttxt"), QStringLiteral("Press one."));
}

void TestPropertyGrid::blankIsNeverWritten_data()
{
    QTest::addColumn<QString>("blank");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << QStringLiteral("   ");
}

void TestPropertyGrid::blankIsNeverWritten()
{
    QFETCH(QString, blank);
    m_grid->loadNode(kHangup);
    m_fg2->setCurrentCell(1, 1);
    QTest::keyClick(m_fg2, Qt::Key_Space);
    m_editor->selectAll();
    QTest::keyClick(m_editor, Qt::Key_Backspace);
    QTest::keyClicks(m_editor, blank);
    QTest::keyClick(m_editor, Qt::Key_Down);
    QCOMPARE(m_fg2->item(1, 1)->text(), blank);
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));
    QVERIFY(m_prompts.messages.isEmpty());
    // Selecting the node again shows the stored value.
    m_grid->loadNode(kHangup);
    QCOMPARE(m_fg2->item(1, 1)->text(), QStringLiteral("goodbye.wav"));
}

void TestPropertyGrid::oversizeValueIsRefused()
{
    m_grid->loadNode(kOption);
    QCOMPARE(m_fg2->item(6, 0)->text(), QStringLiteral("InputTerm"));
    typeInto(6, QStringLiteral("##"));
    QTest::keyClick(m_editor, Qt::Key_Up);
    QCOMPARE(m_prompts.messages,
             QStringList{QStringLiteral("There was an error updating record")});
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_fg2->item(6, 1)->text(), QStringLiteral("##"));
    QCOMPARE(stored(kOption, "InputTerm"), QStringLiteral("#"));
}

void TestPropertyGrid::upOnFirstRowAndDownOnLastRowDoNotMove()
{
    m_grid->loadNode(kHangup);
    typeInto(1, QStringLiteral("a.wav"));
    QTest::keyClick(m_editor, Qt::Key_Up);
    QCOMPARE(m_fg2->currentRow(), 1);
    QCOMPARE(m_fg2->currentColumn(), 1);
    QVERIFY(m_fg2->hasFocus());
    // The row was not left, so nothing was written and the editor still shows.
    QVERIFY(m_editor->isVisible());
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));
    QTest::keyClick(m_fg2, Qt::Key_Up);
    QCOMPARE(m_fg2->currentRow(), 1);

    m_fg2->setCurrentCell(9, 1);
    QTest::keyClick(m_fg2, Qt::Key_Down);
    QCOMPARE(m_fg2->currentRow(), 9);
    QTest::keyClick(m_fg2, Qt::Key_Left);
    QCOMPARE(m_fg2->currentColumn(), 1);
}

void TestPropertyGrid::fixedCellsNeverBecomeCurrent()
{
    m_grid->loadNode(kHangup);
    m_fg2->setCurrentCell(2, 1);
    QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(1, 0).center());
    QCOMPARE(m_fg2->currentRow(), 2);
    QCOMPARE(m_fg2->currentColumn(), 1);
    QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(0, 1).center());
    QCOMPARE(m_fg2->currentRow(), 2);
    QTest::keyClick(m_fg2, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(m_fg2->currentRow(), 1);
    QCOMPARE(m_fg2->currentColumn(), 1);
}

void TestPropertyGrid::blankRowOpensNoEditor()
{
    m_grid->loadNode(kHangup);
    m_fg2->setCurrentCell(3, 1);
    QTest::keyClick(m_fg2, 'x');
    QVERIFY(!m_editor->isVisible());
    QVERIFY(m_fg2->item(3, 1)->text().isEmpty());
}

void TestPropertyGrid::reloadEmptiesEditorWithoutHidingAndWritesNothing()
{
    m_grid->loadNode(kOption);
    typeInto(1, QStringLiteral("lost.wav"));
    QTest::keyClick(m_editor, Qt::Key_Return);
    m_grid->loadNode(kHangup);
    QVERIFY(m_editor->isVisible());
    QVERIFY(m_editor->text().isEmpty());
    QCOMPARE(stored(kOption, "voicefile"), QStringLiteral(".wav"));
    // Leaving the cell hides the emptied editor without blanking the cell under it.
    QTest::keyClick(m_fg2, Qt::Key_Down);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_fg2->item(1, 1)->text(), QStringLiteral("goodbye.wav"));
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));
    QVERIFY(m_prompts.messages.isEmpty());

    // Typing into the reused editor makes it a real edit again.
    m_grid->loadNode(kHangup);
    QTest::keyClick(m_fg2, Qt::Key_Up);
    typeInto(1, QStringLiteral("x"));
    QTest::keyClick(m_editor, Qt::Key_Return);
    m_grid->loadNode(kGreeting);
    QVERIFY(m_editor->isVisible());
    QTest::keyClicks(m_editor, QStringLiteral("greet.wav"));
    QTest::keyClick(m_editor, Qt::Key_Down);
    QCOMPARE(stored(kGreeting, "voicefile"), QStringLiteral("greet.wav"));
    QCOMPARE(stored(kHangup, "voicefile"), QStringLiteral("goodbye.wav"));
}

void TestPropertyGrid::nullPromptShowsBlankAndTakesText()
{
    {
        model::FlowStore store(m_current.databasePath, m_current.table);
        QString error;
        QVERIFY2(store.updateRow(kHangup, {{QStringLiteral("prompttxt"), QVariant()}}, &error),
                 qPrintable(error));
    }
    QCOMPARE(stored(kHangup, "prompttxt"), QStringLiteral("<null>"));
    m_grid->loadNode(kHangup);
    QVERIFY(m_fg2->item(2, 1)->text().isEmpty());
    QVERIFY(!m_grid->fieldValue(QStringLiteral("prompttxt")).isNull());
    QVERIFY(m_grid->fieldValue(QStringLiteral("prompttxt")).isEmpty());
    typeInto(2, QStringLiteral("Goodbye."));
    QTest::keyClick(m_editor, Qt::Key_Up);
    QCOMPARE(stored(kHangup, "prompttxt"), QStringLiteral("Goodbye."));
}

void TestPropertyGrid::quotesInPromptAndNodeText()
{
    // A node whose text differs in case and blanks still names its call function, and
    // the quotes of a prompt are stored as typed.
    const NodeIdentity node{"9_", "42_", QStringLiteral(" Hangup "), 1, 2};
    {
        model::FlowStore store(m_current.databasePath, m_current.table);
        QString error;
        QVERIFY2(store.addRow(node, &error), qPrintable(error));
    }
    m_grid->loadNode(node);
    QCOMPARE(m_fg2->item(2, 0)->text(), QStringLiteral("prompttxt"));
    const QString prompt = QStringLiteral("Say \"yes\" or 'no'; then \"\" --");
    typeInto(2, prompt);
    QTest::keyClick(m_editor, Qt::Key_Up);
    QVERIFY(m_prompts.messages.isEmpty());
    QCOMPARE(stored(node, "prompttxt"), prompt);
    m_grid->loadNode(kHangup);
    m_grid->loadNode(node);
    QCOMPARE(m_grid->fieldValue(QStringLiteral("prompttxt")), prompt);
    // Editing it again keeps the quotes.
    m_fg2->setCurrentCell(2, 1);
    QTest::keyClick(m_fg2, Qt::Key_Space);
    QTest::keyClicks(m_editor, QStringLiteral(" \"ok\""));
    QTest::keyClick(m_editor, Qt::Key_Up);
    QCOMPARE(stored(node, "prompttxt"), prompt + QStringLiteral(" \"ok\""));
    QCOMPARE(stored(kHangup, "prompttxt"), QStringLiteral("type text to be spoken here."));
}

void TestPropertyGrid::fieldValue()
{
    QVERIFY(m_grid->fieldValue(QStringLiteral("voicefile")).isNull());
    m_grid->loadNode(kOption);
    QCOMPARE(m_grid->fieldValue(QStringLiteral("InputTerm")), QStringLiteral("#"));
    QCOMPARE(m_grid->fieldValue(QStringLiteral("Property")), QStringLiteral("Settings"));
    QVERIFY(m_grid->fieldValue(QStringLiteral("MaxReclen")).isNull());
    QVERIFY(m_grid->fieldValue(QStringLiteral("inputterm")).isNull());
}

void TestPropertyGrid::clickReportsCellText()
{
    m_grid->loadNode(kHangup);
    QSignalSpy spy(m_grid.get(), &properties::PropertyGrid::cellClicked);
    QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(1, 1).center());
    QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(2, 1).center());
    QTest::mouseClick(m_fg2->viewport(), Qt::LeftButton, {}, cellRect(1, 0).center());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("goodbye.wav"));
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("type text to be spoken here."));
}

QTEST_MAIN(TestPropertyGrid)
#include "tst_propertygrid.moc"
