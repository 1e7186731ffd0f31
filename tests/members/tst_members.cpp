#include "fakesoundplayer.h"
#include "fakeuserprompts.h"

#include "members/memberform.h"
#include "model/memberstore.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// The sample members in last-name order: Oliver Brantley, John Doe, Jane Doe, Arthur Pennock.
class TestMembers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void editScripts_data();
    void editScripts();
    void playGreeting_data();
    void playGreeting();

private:
    QLineEdit *box(int index) const { return m_boxes.value(index); }
    // Space-separated steps: F P N L (first, previous, next, last), A E U C D R (add, edit,
    // update, cancel, delete, refresh), {Key} a record key such as {Ctrl+Up}, and i=text
    // types text into box i (0 first name ... 4 attempts).
    void run(const QString &script);
    QString storedLastNames() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeUserPrompts m_prompts;
    FakeSoundPlayer m_sound;
    std::unique_ptr<members::MemberForm> m_form;
    QList<QLineEdit *> m_boxes;
};

void TestMembers::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QString error;
    QVERIFY2(model::MemberStore(m_dir->path()).ensure(nullptr, &error), qPrintable(error));
    m_prompts.reset();
    m_sound.played.clear();
    m_form = std::make_unique<members::MemberForm>(m_dir->path(), m_prompts, m_sound);
    QVERIFY2(m_form->openMembers(&error), qPrintable(error));
    m_boxes = m_form->findChildren<QLineEdit *>("txtFields");
    std::sort(m_boxes.begin(), m_boxes.end(), [](QLineEdit *a, QLineEdit *b) {
        return a->property("index").toInt() < b->property("index").toInt();
    });
}

void TestMembers::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestMembers::run(const QString &script)
{
    using Form = members::MemberForm;
    static const QHash<QString, void (Form::*)()> commands{
        {"F", &Form::moveFirst},    {"P", &Form::movePrevious}, {"N", &Form::moveNext},
        {"L", &Form::moveLast},     {"A", &Form::addMember},    {"E", &Form::editMember},
        {"U", &Form::updateMember}, {"C", &Form::cancelEdit},   {"D", &Form::deleteMember},
        {"R", &Form::refreshMembers}};
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        if (commands.contains(step)) {
            (m_form.get()->*commands.value(step))();
        } else if (step.startsWith(u'{')) {
            const QKeyCombination key = QKeySequence::fromString(step.mid(1).chopped(1))[0];
            m_form->handleNavigationKey(key.key(), key.keyboardModifiers());
        } else {
            QLineEdit *b = box(step.left(1).toInt());
            b->selectAll();
            QTest::keyClick(b, Qt::Key_Backspace);
            QTest::keyClicks(b, step.mid(2));
        }
    }
}

QString TestMembers::storedLastNames() const
{
    QString error;
    QStringList names;
    for (const model::Member &m : model::MemberStore(m_dir->path()).all(&error))
        names << m.lname.toString();
    return error.isEmpty() ? names.join(u',') : error;
}

void TestMembers::editScripts_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("message"); // a word of the one message; empty: none
    const QString sample = "Brantley,Doe,Doe,Pennock";
    QTest::newRow("starts on the first") << "" << "Member: 1" << "Oliver Brantley" << sample << 0
                                         << "";
    QTest::newRow("Next on the last beeps")
        << "L N" << "Member: 4" << "Arthur Pennock" << sample << 1 << "";
    QTest::newRow("Previous on the first beeps") << "N P P" << "Member: 1" << "Oliver Brantley"
                                                 << sample << 1 << "";
    QTest::newRow("Add, Update: the new member comes last")
        << "A 0=Aaron 1=Abbott 2=1005 3=1234 U" << "Member: 5" << "Aaron Abbott"
        << "Abbott," + sample << 0 << "";
    QTest::newRow("Refresh sorts again") << "A 1=Abbott 2=1005 U R" << "Member: 1" << " Abbott"
                                         << "Abbott," + sample << 0 << "";
    QTest::newRow("Add, Cancel writes nothing")
        << "N N A 1=Zed 2=1009 C L" << "Member: 4" << "Arthur Pennock" << sample << 0 << "";
    QTest::newRow("Edit, Cancel drops the change and goes to the first")
        << "N N E 1=Changed C" << "Member: 1" << "Oliver Brantley" << sample << 0 << "";
    QTest::newRow("Edit, Cancel after an Add goes to where Add was")
        << "L A C N E C" << "Member: 4" << "Arthur Pennock" << sample << 1 << "";
    QTest::newRow("Edit, Update keeps the position") << "N E 1=Zimmer 4=2 U" << "Member: 2"
                                                     << "John Zimmer"
                                                     << "Brantley,Doe,Pennock,Zimmer" << 0 << "";
    QTest::newRow("typing, then moving, writes first") << "1=Bramley P" << "Member: 1"
                                                       << "Oliver Bramley"
                                                       << "Bramley,Doe,Doe,Pennock" << 1 << "";
    QTest::newRow("Delete the last") << "L D" << "Member: 3" << "Jane Doe" << "Brantley,Doe,Doe"
                                     << 0 << "";
    QTest::newRow("Delete on an empty set says why")
        << "D D D D D N" << "Member: 0" << " " << "" << 0 << "no current member";
    QTest::newRow("record keys")
        << "{End} {Ctrl+Up} {PgDown} {Ctrl+Shift+Down} {Home} {Ctrl+End} {Ctrl+Alt+Up}"
        << "Member: 3" << "Jane Doe" << sample << 0 << "";
    QTest::newRow("record keys do nothing while editing")
        << "E {End} {Down}" << "Edit record" << "Oliver Brantley" << sample << 0 << "";
    QTest::newRow("record keys do nothing while adding") << "A {Up}" << "Add record" << " "
                                                         << sample << 0 << "";
    QTest::newRow("mailbox not a number")
        << "N E 2=12a4 U" << "Edit record" << "John Doe" << sample << 0 << "Mailbox";
    QTest::newRow("password not a number")
        << "3=secret N" << "Member: 1" << "Oliver Brantley" << sample << 0 << "Password";
    QTest::newRow("last name too long") << "E 1=" + QString(31, u'l') + " U" << "Edit record"
                                        << "Oliver " + QString(31, u'l') << sample << 0
                                        << "Lname";
    QTest::newRow("a refused value, corrected") << "E 2=12a4 U 2=77 U" << "Member: 1"
                                                << "Oliver Brantley" << sample << 0
                                                << "Mailbox";
}

void TestMembers::editScripts()
{
    QFETCH(QString, script);
    QFETCH(QString, status);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QFETCH(int, beeps);
    QFETCH(QString, message);
    run(script);
    QCOMPARE(m_form->findChild<QLabel *>("lblStatus")->text(), status);
    QCOMPARE(box(0)->text() + u' ' + box(1)->text(), shown);
    QCOMPARE(storedLastNames(), stored);
    QCOMPARE(m_prompts.beeps, beeps);
    QCOMPARE(m_prompts.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(m_prompts.messages[0].contains(message, Qt::CaseInsensitive),
                 qPrintable(m_prompts.messages[0]));
}

void TestMembers::playGreeting_data()
{
    QTest::addColumn<QString>("mailbox");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("existing"); // relative to the application folder
    QTest::addColumn<QString>("played");   // relative; empty: nothing played
    QTest::newRow("name") << "1003" << 0 << "mboxes/1003/prompt.wav" << "mboxes/1003/prompt.wav";
    QTest::newRow("greeting as the pages name it")
        << "1003" << 1 << "mboxes/1003/Personal.wav" << "mboxes/1003/Personal.wav";
    QTest::newRow("missing file") << "1003" << 1 << "mboxes/1003/prompt.wav" << "";
    QTest::newRow("empty box") << "" << 1 << "mboxes/personal.wav" << "mboxes/personal.wav";
    QTest::newRow("outside mboxes") << "../waves" << 0 << "waves/prompt.wav" << "";
    QTest::newRow("parent folder") << ".." << 0 << "prompt.wav" << "";
}

void TestMembers::playGreeting()
{
    QFETCH(QString, mailbox);
    QFETCH(int, index);
    QFETCH(QString, existing);
    QFETCH(QString, played);
    const QDir app(m_dir->path());
    QVERIFY(app.mkpath(QFileInfo(app.filePath(existing)).path()));
    QFile file(app.filePath(existing));
    QVERIFY(file.open(QIODevice::WriteOnly));
    run("2=" + mailbox);
    m_form->playGreeting(index);
    QCOMPARE(m_sound.played, played.isEmpty() ? QStringList() : QStringList(app.filePath(played)));
}

QTEST_MAIN(TestMembers)
#include "tst_members.moc"
