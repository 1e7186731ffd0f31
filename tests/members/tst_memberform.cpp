#include "members/memberform.h"
#include "model/memberstore.h"
#include "support/fakesoundplayer.h"
#include "support/fakeuserprompts.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Positions in the sample data, last-name order: Brantley, Doe (John), Doe (Jane), Pennock.
class tst_MemberForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsOnFirstInLastNameOrder();
    void endsBeepAndStay_data();
    void endsBeepAndStay();
    void addUpdatePutsNewMemberLast();
    void addCancelWritesNothingAndReturns();
    void cancelAfterEditGoesToFirstOrAddBookmark();
    void editUpdateWritesAndKeepsPosition();
    void deleteMovesToNextOrLast();
    void deleteOnEmptySetReports();
    void addOnEmptyTable();
    void keys_data();
    void keys();
    void keysIgnoredWhileEditingOrAdding();
    void refusedUpdateKeepsEditState_data();
    void refusedUpdateKeepsEditState();
    void refusedAddKeepsTypedRecord();
    void typedChangeIsWrittenBeforeMove();
    void refusedChangeStopsTheMove();
    void storedNumbersShownAsStored();
    void refreshWritesTypedChangeAndReportsFailure();
    void deleteOfRowGoneElsewhereReports();
    void playGreeting_data();
    void playGreeting();

private:
    QLineEdit *box(int index) const;
    QPushButton *button(const QString &name) const;
    QString status() const;
    void type(int index, const QString &text);
    void goTo(int position);
    QStringList storedLastNames() const;
    QList<model::Member> stored() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeUserPrompts> m_prompts;
    std::unique_ptr<FakeSoundPlayer> m_sound;
    std::unique_ptr<members::MemberForm> m_form;
};

void tst_MemberForm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QString error;
    QVERIFY2(model::MemberStore(m_dir->path()).ensure(nullptr, &error), qPrintable(error));
    m_prompts = std::make_unique<FakeUserPrompts>();
    m_sound = std::make_unique<FakeSoundPlayer>();
    m_form = std::make_unique<members::MemberForm>(m_dir->path(), *m_prompts, *m_sound);
    QVERIFY2(m_form->openMembers(&error), qPrintable(error));
}

void tst_MemberForm::cleanup()
{
    m_form.reset();
    m_sound.reset();
    m_prompts.reset();
    m_dir.reset();
}

QLineEdit *tst_MemberForm::box(int index) const
{
    const auto boxes = m_form->findChildren<QLineEdit *>(QStringLiteral("txtFields"));
    for (QLineEdit *b : boxes) {
        if (b->property("index").toInt() == index)
            return b;
    }
    return nullptr;
}

QPushButton *tst_MemberForm::button(const QString &name) const
{
    return m_form->findChild<QPushButton *>(name);
}

QString tst_MemberForm::status() const
{
    return m_form->findChild<QLabel *>(QStringLiteral("lblStatus"))->text();
}

// Types as a user would, replacing the box's text.
void tst_MemberForm::type(int index, const QString &text)
{
    QLineEdit *b = box(index);
    b->selectAll();
    if (text.isEmpty())
        QTest::keyClick(b, Qt::Key_Backspace);
    else
        QTest::keyClicks(b, text);
    QCOMPARE(b->text(), text);
}

void tst_MemberForm::goTo(int position)
{
    button(QStringLiteral("cmdFirst"))->click();
    for (int i = 1; i < position; ++i)
        button(QStringLiteral("cmdNext"))->click();
    QCOMPARE(status(), QStringLiteral("Member: %1").arg(position));
}

QList<model::Member> tst_MemberForm::stored() const
{
    QString error;
    const QList<model::Member> rows = model::MemberStore(m_dir->path()).all(&error);
    [&] { QVERIFY2(error.isEmpty(), qPrintable(error)); }();
    return rows;
}

QStringList tst_MemberForm::storedLastNames() const
{
    QStringList names;
    for (const model::Member &m : stored())
        names << m.lname.toString();
    return names;
}

void tst_MemberForm::startsOnFirstInLastNameOrder()
{
    QCOMPARE(box(1)->text(), QStringLiteral("Brantley"));
    QCOMPARE(box(0)->text(), QStringLiteral("Oliver"));
    QCOMPARE(box(3)->text(), QStringLiteral("7315"));
    QCOMPARE(box(4)->text(), QStringLiteral("0"));
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QVERIFY(!button(QStringLiteral("cmdUpdate"))->isVisibleTo(m_form.get()));
    QVERIFY(!button(QStringLiteral("cmdCancel"))->isVisibleTo(m_form.get()));
    for (const char *name : {"cmdAdd", "cmdEdit", "cmdDelete", "cmdRefresh"})
        QVERIFY(button(QLatin1String(name))->isVisibleTo(m_form.get()));
    for (const char *name : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"})
        QVERIFY(button(QLatin1String(name))->isEnabled());

    const QStringList expected = {QStringLiteral("Oliver Brantley"), QStringLiteral("John Doe"),
                                  QStringLiteral("Jane Doe"), QStringLiteral("Arthur Pennock")};
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        seen << box(0)->text() + u' ' + box(1)->text();
        button(QStringLiteral("cmdNext"))->click();
    }
    QCOMPARE(seen, expected);
}

void tst_MemberForm::endsBeepAndStay_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("lastName");

    QTest::newRow("next on last") << 4 << "cmdNext" << 4 << 1 << "Pennock";
    QTest::newRow("previous on first") << 1 << "cmdPrevious" << 1 << 1 << "Brantley";
    QTest::newRow("next in the middle") << 2 << "cmdNext" << 3 << 0 << "Doe";
    QTest::newRow("previous in the middle") << 2 << "cmdPrevious" << 1 << 0 << "Brantley";
    QTest::newRow("last") << 1 << "cmdLast" << 4 << 0 << "Pennock";
    QTest::newRow("first") << 4 << "cmdFirst" << 1 << 0 << "Brantley";
}

void tst_MemberForm::endsBeepAndStay()
{
    QFETCH(int, start);
    QFETCH(QString, command);
    QFETCH(int, expected);
    QFETCH(int, beeps);
    QFETCH(QString, lastName);

    goTo(start);
    button(command)->click();
    QCOMPARE(m_prompts->beeps, beeps);
    QCOMPARE(status(), QStringLiteral("Member: %1").arg(expected));
    QCOMPARE(box(1)->text(), lastName);
    QVERIFY(m_prompts->messages.isEmpty());
}

void tst_MemberForm::addUpdatePutsNewMemberLast()
{
    button(QStringLiteral("cmdAdd"))->click();
    QVERIFY(m_form->isAdding());
    QCOMPARE(status(), QStringLiteral("Add record"));
    QVERIFY(button(QStringLiteral("cmdUpdate"))->isVisibleTo(m_form.get()));
    QVERIFY(!button(QStringLiteral("cmdAdd"))->isVisibleTo(m_form.get()));
    QVERIFY(!button(QStringLiteral("cmdNext"))->isEnabled());
    QCOMPARE(box(1)->text(), QString());
    QCOMPARE(box(4)->text(), QStringLiteral("0")); // no failed attempts yet

    type(0, QStringLiteral("Aaron"));
    type(1, QStringLiteral("Abbott"));
    type(2, QStringLiteral("1005"));
    type(3, QStringLiteral("1234"));
    button(QStringLiteral("cmdUpdate"))->click();

    QVERIFY2(m_prompts->messages.isEmpty(), qPrintable(m_prompts->messages.join(u'\n')));
    QVERIFY(!m_form->isAdding());
    QVERIFY(button(QStringLiteral("cmdAdd"))->isVisibleTo(m_form.get()));
    QVERIFY(button(QStringLiteral("cmdNext"))->isEnabled());
    // Last in the record set although first by last name, until Refresh re-sorts.
    QCOMPARE(status(), QStringLiteral("Member: 5"));
    QCOMPARE(box(1)->text(), QStringLiteral("Abbott"));
    const QList<model::Member> rows = stored();
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.first().lname.toString(), QStringLiteral("Abbott"));
    QCOMPARE(rows.first().mailbox.toInt(), 1005);
    QCOMPARE(rows.first().password.toInt(), 1234);
    QCOMPARE(rows.first().attempts.toInt(), 0);

    button(QStringLiteral("cmdNext"))->click();
    QCOMPARE(m_prompts->beeps, 1);
    button(QStringLiteral("cmdRefresh"))->click();
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QCOMPARE(box(1)->text(), QStringLiteral("Abbott"));
}

void tst_MemberForm::addCancelWritesNothingAndReturns()
{
    goTo(3);
    button(QStringLiteral("cmdAdd"))->click();
    type(1, QStringLiteral("Zed"));
    type(2, QStringLiteral("1009"));
    button(QStringLiteral("cmdCancel"))->click();

    QVERIFY(!m_form->isAdding());
    QVERIFY(button(QStringLiteral("cmdAdd"))->isVisibleTo(m_form.get()));
    QVERIFY(!button(QStringLiteral("cmdCancel"))->isVisibleTo(m_form.get()));
    QCOMPARE(storedLastNames(), QStringList({"Brantley", "Doe", "Doe", "Pennock"}));
    QCOMPARE(status(), QStringLiteral("Member: 3"));
    QCOMPARE(box(0)->text(), QStringLiteral("Jane"));
    // Moving on writes nothing either: the new record is gone.
    button(QStringLiteral("cmdLast"))->click();
    QCOMPARE(stored().size(), 4);
    QVERIFY(m_prompts->messages.isEmpty());
}

void tst_MemberForm::cancelAfterEditGoesToFirstOrAddBookmark()
{
    goTo(3);
    button(QStringLiteral("cmdEdit"))->click();
    QVERIFY(m_form->isEditing());
    QCOMPARE(status(), QStringLiteral("Edit record"));
    type(1, QStringLiteral("Changed"));
    button(QStringLiteral("cmdCancel"))->click();
    QVERIFY(!m_form->isEditing());
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QCOMPARE(box(1)->text(), QStringLiteral("Brantley"));
    QCOMPARE(storedLastNames(), QStringList({"Brantley", "Doe", "Doe", "Pennock"}));

    // Once Add was pressed on Pennock, a later Edit+Cancel returns there.
    goTo(4);
    button(QStringLiteral("cmdAdd"))->click();
    button(QStringLiteral("cmdCancel"))->click();
    goTo(2);
    button(QStringLiteral("cmdEdit"))->click();
    button(QStringLiteral("cmdCancel"))->click();
    QCOMPARE(status(), QStringLiteral("Member: 4"));
    QCOMPARE(box(1)->text(), QStringLiteral("Pennock"));
}

void tst_MemberForm::editUpdateWritesAndKeepsPosition()
{
    goTo(2);
    QCOMPARE(box(0)->text(), QStringLiteral("John"));
    button(QStringLiteral("cmdEdit"))->click();
    type(1, QStringLiteral("Zimmer"));
    type(4, QStringLiteral("2"));
    button(QStringLiteral("cmdUpdate"))->click();

    QVERIFY(m_prompts->messages.isEmpty());
    QVERIFY(!m_form->isEditing());
    QCOMPARE(status(), QStringLiteral("Member: 2"));
    QCOMPARE(box(1)->text(), QStringLiteral("Zimmer"));
    const QList<model::Member> rows = stored();
    QCOMPARE(rows.last().fname.toString(), QStringLiteral("John"));
    QCOMPARE(rows.last().lname.toString(), QStringLiteral("Zimmer"));
    QCOMPARE(rows.last().attempts.toInt(), 2);
    QCOMPARE(rows.size(), 4);

    button(QStringLiteral("cmdRefresh"))->click();
    button(QStringLiteral("cmdLast"))->click();
    QCOMPARE(box(1)->text(), QStringLiteral("Zimmer"));
    QCOMPARE(status(), QStringLiteral("Member: 4"));
}

void tst_MemberForm::deleteMovesToNextOrLast()
{
    goTo(4);
    button(QStringLiteral("cmdDelete"))->click();
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(storedLastNames(), QStringList({"Brantley", "Doe", "Doe"}));
    QCOMPARE(status(), QStringLiteral("Member: 3"));
    QCOMPARE(box(0)->text(), QStringLiteral("Jane"));

    goTo(1);
    button(QStringLiteral("cmdDelete"))->click();
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QCOMPARE(box(0)->text(), QStringLiteral("John"));
    const QList<model::Member> rows = stored();
    QCOMPARE(rows.size(), 2);
    // Only the deleted rows went: the others keep their ids.
    QCOMPARE(rows.at(0).id, 1);
    QCOMPARE(rows.at(1).id, 2);
}

void tst_MemberForm::deleteOnEmptySetReports()
{
    for (int i = 0; i < 4; ++i)
        button(QStringLiteral("cmdDelete"))->click();
    QCOMPARE(stored().size(), 0);
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(box(1)->text(), QString());
    QVERIFY(box(1)->isReadOnly());

    button(QStringLiteral("cmdDelete"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(!m_prompts->messages.first().isEmpty());
    button(QStringLiteral("cmdNext"))->click();
    button(QStringLiteral("cmdPrevious"))->click();
    QCOMPARE(m_prompts->beeps, 0);
}

void tst_MemberForm::addOnEmptyTable()
{
    QString error;
    model::MemberStore store(m_dir->path());
    for (qint64 id = 1; id <= 4; ++id)
        QVERIFY(store.remove(id, &error));
    button(QStringLiteral("cmdRefresh"))->click();

    button(QStringLiteral("cmdAdd"))->click();
    QVERIFY(!box(1)->isReadOnly());
    button(QStringLiteral("cmdCancel"))->click();
    QCOMPARE(stored().size(), 0);
    QVERIFY(m_prompts->messages.isEmpty());

    button(QStringLiteral("cmdAdd"))->click();
    type(1, QStringLiteral("Only"));
    type(2, QStringLiteral("1200"));
    button(QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QCOMPARE(storedLastNames(), QStringList({"Only"}));
}

void tst_MemberForm::keys_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expected");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("End") << 2 << int(Qt::Key_End) << none << 4;
    QTest::newRow("Ctrl+End") << 2 << int(Qt::Key_End) << ctrl << 4;
    QTest::newRow("Home") << 3 << int(Qt::Key_Home) << none << 1;
    QTest::newRow("Shift+Home") << 3 << int(Qt::Key_Home)
                                << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1;
    QTest::newRow("Up") << 3 << int(Qt::Key_Up) << none << 2;
    QTest::newRow("Page Up") << 3 << int(Qt::Key_PageUp) << none << 2;
    QTest::newRow("Ctrl+Up") << 3 << int(Qt::Key_Up) << ctrl << 1;
    QTest::newRow("Ctrl+Page Up") << 3 << int(Qt::Key_PageUp) << ctrl << 1;
    QTest::newRow("Ctrl+Shift+Up") << 3 << int(Qt::Key_Up) << ctrlShift << 2;
    QTest::newRow("Ctrl+Alt+Up") << 3 << int(Qt::Key_Up) << (ctrl | Qt::AltModifier) << 2;
    QTest::newRow("Ctrl+keypad Up") << 3 << int(Qt::Key_Up) << (ctrl | Qt::KeypadModifier) << 1;
    QTest::newRow("Down") << 2 << int(Qt::Key_Down) << none << 3;
    QTest::newRow("Page Down") << 2 << int(Qt::Key_PageDown) << none << 3;
    QTest::newRow("Ctrl+Down") << 2 << int(Qt::Key_Down) << ctrl << 4;
    QTest::newRow("Ctrl+Page Down") << 2 << int(Qt::Key_PageDown) << ctrl << 4;
    QTest::newRow("Ctrl+Shift+Down") << 2 << int(Qt::Key_Down) << ctrlShift << 3;
}

void tst_MemberForm::keys()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);

    goTo(start);
    QVERIFY(m_form->handleNavigationKey(key, modifiers));
    QCOMPARE(status(), QStringLiteral("Member: %1").arg(expected));
    QCOMPARE(m_prompts->beeps, 0);
}

void tst_MemberForm::keysIgnoredWhileEditingOrAdding()
{
    QVERIFY(!m_form->handleNavigationKey(Qt::Key_Left, Qt::NoModifier));
    QVERIFY(!m_form->handleNavigationKey(Qt::Key_A, Qt::ControlModifier));
    QVERIFY(m_form->handleNavigationKey(Qt::Key_Up, Qt::NoModifier)); // beeps at the first
    QCOMPARE(m_prompts->beeps, 1);

    button(QStringLiteral("cmdEdit"))->click();
    QVERIFY(!m_form->handleNavigationKey(Qt::Key_End, Qt::NoModifier));
    QCOMPARE(status(), QStringLiteral("Edit record"));
    button(QStringLiteral("cmdCancel"))->click();

    button(QStringLiteral("cmdAdd"))->click();
    QVERIFY(!m_form->handleNavigationKey(Qt::Key_Down, Qt::NoModifier));
    QCOMPARE(status(), QStringLiteral("Add record"));
    button(QStringLiteral("cmdCancel"))->click();
    QVERIFY(m_form->handleNavigationKey(Qt::Key_End, Qt::NoModifier));
    QCOMPARE(status(), QStringLiteral("Member: 4"));
}

void tst_MemberForm::refusedUpdateKeepsEditState_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("column");

    QTest::newRow("mailbox not a number") << 2 << "12a4" << "mailbox";
    QTest::newRow("mailbox too large") << 2 << "40000" << "mailbox";
    QTest::newRow("password not a number") << 3 << "pass" << "password";
    QTest::newRow("attempts not a number") << 4 << "x" << "attempts";
    QTest::newRow("first name too long") << 0 << QString(31, u'f') << "Fname";
    QTest::newRow("last name too long") << 1 << QString(31, u'l') << "Lname";
}

void tst_MemberForm::refusedUpdateKeepsEditState()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, column);

    goTo(2);
    const QList<model::Member> before = stored();
    button(QStringLiteral("cmdEdit"))->click();
    type(field, value);
    button(QStringLiteral("cmdUpdate"))->click();

    QCOMPARE(m_prompts->messages.size(), 1);
    const QString shown = m_prompts->messages.first();
    QVERIFY2(shown.contains(column), qPrintable(shown));
    QVERIFY(m_form->isEditing());
    QVERIFY(button(QStringLiteral("cmdUpdate"))->isVisibleTo(m_form.get()));
    QVERIFY(button(QStringLiteral("cmdCancel"))->isVisibleTo(m_form.get()));
    QVERIFY(!button(QStringLiteral("cmdNext"))->isEnabled());
    QCOMPARE(box(field)->text(), value);
    QCOMPARE(status(), QStringLiteral("Edit record"));
    if (field != 0)
        QCOMPARE(box(0)->text(), QStringLiteral("John"));
    const QList<model::Member> after = stored();
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(after.at(i).lname, before.at(i).lname);
        QCOMPARE(after.at(i).fname, before.at(i).fname);
        QCOMPARE(after.at(i).mailbox, before.at(i).mailbox);
    }

    // Corrected, the same record is written.
    type(field, field >= 2 ? QStringLiteral("77") : QStringLiteral("Fixed"));
    button(QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(!m_form->isEditing());
    QCOMPARE(status(), QStringLiteral("Member: 2"));
    QCOMPARE(stored().size(), 4);
}

void tst_MemberForm::refusedAddKeepsTypedRecord()
{
    button(QStringLiteral("cmdAdd"))->click();
    type(1, QStringLiteral("Abbott"));
    type(2, QStringLiteral("40000"));
    button(QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_form->isAdding());
    QCOMPARE(status(), QStringLiteral("Add record"));
    QCOMPARE(box(1)->text(), QStringLiteral("Abbott"));
    QCOMPARE(stored().size(), 4);

    type(2, QStringLiteral("1010"));
    button(QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(stored().size(), 5);
    QCOMPARE(status(), QStringLiteral("Member: 5"));
}

void tst_MemberForm::typedChangeIsWrittenBeforeMove()
{
    type(2, QStringLiteral("2001"));
    button(QStringLiteral("cmdNext"))->click();
    QCOMPARE(status(), QStringLiteral("Member: 2"));
    QCOMPARE(stored().first().mailbox.toInt(), 2001);

    // Also before the beep at either end.
    button(QStringLiteral("cmdFirst"))->click();
    type(1, QStringLiteral("Bramley"));
    button(QStringLiteral("cmdPrevious"))->click();
    QCOMPARE(m_prompts->beeps, 1);
    QCOMPARE(stored().first().lname.toString(), QStringLiteral("Bramley"));
}

void tst_MemberForm::refusedChangeStopsTheMove()
{
    type(3, QStringLiteral("secret"));
    button(QStringLiteral("cmdNext"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QCOMPARE(box(3)->text(), QStringLiteral("secret"));
    QCOMPARE(stored().first().password.toInt(), 7315);

    // Edit then Cancel drops the refused text.
    button(QStringLiteral("cmdEdit"))->click();
    button(QStringLiteral("cmdCancel"))->click();
    QCOMPARE(box(3)->text(), QStringLiteral("7315"));
    button(QStringLiteral("cmdNext"))->click();
    QCOMPARE(status(), QStringLiteral("Member: 2"));
    QCOMPARE(m_prompts->messages.size(), 1);
}

void tst_MemberForm::storedNumbersShownAsStored()
{
    button(QStringLiteral("cmdEdit"))->click();
    type(3, QStringLiteral("0042"));
    button(QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(box(3)->text(), QStringLiteral("42"));
    QCOMPARE(stored().first().password.toInt(), 42);
}

void tst_MemberForm::refreshWritesTypedChangeAndReportsFailure()
{
    goTo(4);
    type(1, QStringLiteral("Adams"));
    button(QStringLiteral("cmdRefresh"))->click();
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(status(), QStringLiteral("Member: 1"));
    QCOMPARE(box(1)->text(), QStringLiteral("Adams"));

    // Without its database the form keeps what it shows and says why.
    QVERIFY(QFile::remove(model::MemberStore(m_dir->path()).path()));
    button(QStringLiteral("cmdRefresh"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(!m_prompts->messages.first().isEmpty());
    QCOMPARE(box(1)->text(), QStringLiteral("Adams"));
    button(QStringLiteral("cmdNext"))->click();
    QCOMPARE(box(1)->text(), QStringLiteral("Brantley"));
}

void tst_MemberForm::deleteOfRowGoneElsewhereReports()
{
    QString error;
    QVERIFY(model::MemberStore(m_dir->path()).remove(3, &error)); // Brantley, shown first
    button(QStringLiteral("cmdDelete"))->click();
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(box(1)->text(), QStringLiteral("Brantley"));
    QCOMPARE(stored().size(), 3);
    button(QStringLiteral("cmdRefresh"))->click();
    QCOMPARE(box(0)->text(), QStringLiteral("John"));
}

void tst_MemberForm::playGreeting_data()
{
    QTest::addColumn<QString>("mailbox");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("existing"); // relative to the application folder
    QTest::addColumn<QString>("played");   // relative; empty: nothing played

    QTest::newRow("name") << "1003" << 0 << "mboxes/1003/prompt.wav" << "mboxes/1003/prompt.wav";
    QTest::newRow("greeting") << "1003" << 1 << "mboxes/1003/personal.wav"
                              << "mboxes/1003/personal.wav";
    QTest::newRow("greeting as the pages name it")
        << "1003" << 1 << "mboxes/1003/Personal.wav" << "mboxes/1003/Personal.wav";
    QTest::newRow("missing file") << "1003" << 1 << "mboxes/1003/prompt.wav" << "";
    QTest::newRow("other mailbox") << "1004" << 0 << "mboxes/1003/prompt.wav" << "";
    QTest::newRow("empty box") << "" << 1 << "mboxes/personal.wav" << "mboxes/personal.wav";
    QTest::newRow("empty box, only in a mailbox") << "" << 1 << "mboxes/1003/personal.wav" << "";
    QTest::newRow("outside mboxes") << "../waves" << 0 << "waves/prompt.wav" << "";
}

void tst_MemberForm::playGreeting()
{
    QFETCH(QString, mailbox);
    QFETCH(int, index);
    QFETCH(QString, existing);
    QFETCH(QString, played);

    const QDir app(m_dir->path());
    QVERIFY(app.mkpath(QFileInfo(app.filePath(existing)).path()));
    QFile file(app.filePath(existing));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    type(2, mailbox);
    const auto buttons = m_form->findChildren<QPushButton *>(QStringLiteral("playgreetings"));
    QCOMPARE(buttons.size(), 2);
    for (QPushButton *b : buttons) {
        if (b->property("index").toInt() == index)
            b->click();
    }
    const QStringList expected = played.isEmpty() ? QStringList()
                                                  : QStringList(app.filePath(played));
    QCOMPARE(m_sound->played, expected);
}

QTEST_MAIN(tst_MemberForm)
#include "tst_memberform.moc"
