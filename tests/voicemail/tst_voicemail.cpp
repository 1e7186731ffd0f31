#include "call/callengine.h"
#include "call/callscript.h"
#include "call/nodevaluessource.h"
#include "call/scriptedcaller.h"
#include "call/transcript.h"
#include "model/flowtree.h"
#include "model/memberstore.h"
#include "voicemail/testcallvoicemail.h"
#include "voicemail/clock.h"
#include "voicemail/memberdirectory.h"
#include "voicemail/spokenreaders.h"
#include "voicemail/sqlmemberdirectory.h"
#include "voicemail/voicemailmachine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "testdirs.h"

using namespace voicemail;

namespace {
// The call as heard: one line an action ("waves/entermb.wav", "wait 9/3", "record ...").
QStringList heardIn(VoiceMailMachine &machine, const QStringList &entries)
{
    QStringList heard;
    qsizetype next = 0;
    for (Action a = machine.start(); !machine.ended() || a.kind == Action::Kind::HangUp;) {
        switch (a.kind) {
        case Action::Kind::Play:
            heard << a.path;
            a = machine.proceed();
            break;
        case Action::Kind::Record:
            heard << "record " + a.path;
            a = machine.proceed();
            break;
        case Action::Kind::Collect:
            heard << QStringLiteral("wait %1/%2").arg(a.maxDigits).arg(a.timeoutSeconds);
            if (next == entries.size())
                return heard;
            a = machine.enter(entries.at(next++));
            break;
        case Action::Kind::HangUp:
            heard << (a.problem.isEmpty() ? QStringLiteral("hangup") : "broken: " + a.problem);
            return heard;
        }
    }
    return heard;
}

// Every node with the no-row defaults.
class NoRows final : public call::NodeValuesSource
{
public:
    model::NodeValues valuesOf(const model::FlowNode &node, QString *) override
    {
        return model::NodeValues::fromRow(std::nullopt, node.text);
    }
};

// A member store that cannot be reached.
class BrokenDirectory final : public MemberDirectory
{
public:
    bool hasMailbox(int, bool *, QString *error) override { return broken(error); }
    bool attemptsWithPassword(int, int, std::optional<int> *, QString *error) override
    {
        return broken(error);
    }
    bool attempts(int, std::optional<int> *, QString *error) override { return broken(error); }
    bool setAttempts(int, int, QString *error) override { return broken(error); }
    bool setPassword(int, int, QString *error) override { return broken(error); }

private:
    static bool broken(QString *error)
    {
        *error = QStringLiteral("disk gone");
        return false;
    }
};
} // namespace

class TestVoiceMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readers_data();
    void readers();
    void entryNumbers_data();
    void entryNumbers();
    void nowOption_data();
    void nowOption();
    void statesAreThePagesStates();
    void callChangesTheApplicationFolder();
    void unreachableMemberStoreEndsTheCall();
    void testCallIsHandedToTheVoiceMail();
};

void TestVoiceMail::readers_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("prompts");
    auto row = [](const char *reader, const char *value, QStringList prompts) {
        QTest::addRow("%s %s", reader, value) << reader << value << prompts;
    };
    row("number", "0", {});
    row("number", "15", {"15.wav"});
    row("number", "21", {"20.wav", "1.wav"});
    row("number", "115", {"1.wav", "hundred.wav", "15.wav"});
    row("number", "2005", {"2.wav", "thousand.wav", "5.wav"});
    row("number", "347021",
        {"3.wav", "hundred.wav", "40.wav", "7.wav", "thousand.wav", "20.wav", "1.wav"});
    row("number", "2000000", {"2.wav", "million.wav", "thousand.wav"});
    row("number", "1000000000", {});
    row("number", "-3", {});
    row("time", "0000", {"12.wav", "am.wav"});
    row("time", "0905", {"9.wav", "o.wav", "5.wav", "am.wav"});
    row("time", "1200", {"12.wav", "pm.wav"});
    row("time", "1230", {"12.wav", "30.wav", "pm.wav"});
    row("time", "1347", {"1.wav", "40.wav", "7.wav", "pm.wav"});
    row("time", "2359", {"11.wav", "50.wav", "9.wav", "pm.wav"});
    row("date", "0105", {"month01.wav", "5.wav"});
    row("date", "0112", {"month01.wav", "12.wav"});
    row("date", "0120", {"month01.wav", "20.wav"});
    row("date", "1223", {"month12.wav", "20.wav", "3.wav"});
}

void TestVoiceMail::readers()
{
    QFETCH(QString, reader);
    QFETCH(QString, value);
    QFETCH(QStringList, prompts);
    if (reader == "number")
        QCOMPARE(numberPrompts(value.toLongLong()), prompts);
    else if (reader == "time")
        QCOMPARE(timePrompts(value), prompts);
    else
        QCOMPARE(datePrompts(value), prompts);
}

void TestVoiceMail::entryNumbers_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("number");
    const std::pair<const char *, int> rows[] = {
        {"1234#", 1234}, {"01234", 1234}, {"000#", 0},     {"32767", 32767},
        {"32768", -1},   {"99999999#", -1}, {"12*4#", -1}, {"", -1},
        {"#", -1},       {"1234##", -1},  {"1 or 1=1", -1}, {"-12", -1}};
    for (const auto &[keys, number] : rows)
        QTest::addRow("%s", keys) << QString::fromLatin1(keys) << number;
}

void TestVoiceMail::entryNumbers()
{
    QFETCH(QString, keys);
    QFETCH(int, number);
    QCOMPARE(VoiceMailMachine::entryNumber(keys), number);
}

void TestVoiceMail::nowOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("minute") << "2026-03-04T00:05" << true;
    QTest::newRow("leap day") << "2028-02-29T12:00" << true;
    QTest::newRow("no such day") << "2026-02-30T10:00" << false;
    QTest::newRow("short month") << "2026-3-04T10:00" << false;
    QTest::newRow("blank") << "2026-03-04 10:00" << false;
    QTest::newRow("seconds") << "2026-03-04T10:00:00" << false;
}

void TestVoiceMail::nowOption()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(parseNow(text).isValid(), valid);
}

void TestVoiceMail::statesAreThePagesStates()
{
    // The state routine of the generated page has one case a state at the first level.
    QFile page(sourceDir() + "/tests/codegen/golden/remotepage.asp");
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(page.readAll());
    const QString routine =
        text.section("public function fdoremote()", 1).section("end function", 0, 0);
    QStringList pageStates;
    static const QRegularExpression stateCase(QStringLiteral("\\n    case \"([^\"]+)\""));
    for (auto it = stateCase.globalMatch(routine); it.hasNext();)
        pageStates << it.next().captured(1);
    QStringList ours;
    for (const QString &name : VoiceMailMachine::stateNames())
        ours << name.toLower();
    QCOMPARE(ours, pageStates);
}

void TestVoiceMail::callChangesTheApplicationFolder()
{
    QTemporaryDir dir;
    QVERIFY(model::MemberStore(dir.path()).ensure(nullptr, nullptr));
    const QString msg = dir.filePath("mboxes/1001/msg/");
    QVERIFY(QDir().mkpath(msg));
    for (const char *name : {"03040905.inf", "03040905.wav", "03011200.in_"}) {
        QFile f(msg + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    SqlMemberDirectory members(dir.path());
    const FixedClock clock(QDateTime(QDate(2026, 3, 4), QTime(9, 30)));
    VoiceMailMachine machine(dir.path(), members, clock);

    // a wrong password is counted in the member's row, as the member form shows it
    QCOMPARE(heardIn(machine, {"1001#", "1#"}).mid(4),
             QStringList({"waves/invalid.wav", "waves/entermb.wav", "wait 9/3"}));
    QList<model::Member> rows = model::MemberStore(dir.path()).all(nullptr);
    auto john = std::find_if(rows.begin(), rows.end(),
                             [](const model::Member &m) { return m.mailbox.toInt() == 1001; });
    QCOMPARE(john->attempts.toInt(), 1);

    // the heard message of an earlier call turns old at login; the new one is heard now
    QCOMPARE(heardIn(machine, {"1001#", "7461#", "1", "T", "#", "5", "5", "42#", "42#", "#"}),
             QStringList({"waves/entermb.wav", "wait 9/3", "waves/enterpw.wav", "wait 15/3",
                          "waves/youhave.wav", "waves/1.wav", "waves/newmsg.wav",
                          "waves/remmenu.wav", "wait 1/3", "waves/pbinstru.wav", "wait 1/0",
                          "waves/message.wav", "waves/1.wav", "waves/today.wav",
                          "mboxes/1001/msg/03040905.wav", "wait 1/0", "waves/remmenu.wav",
                          "wait 1/3", "waves/remsubmn.wav", "wait 1/3", "waves/enternpw.wav",
                          "wait 15/3", "waves/entrnpwa.wav", "wait 15/3", "waves/pwsaved.wav",
                          "waves/remmenu.wav", "wait 1/3", "hangup"}));
    QCOMPARE(QDir(msg).entryList(QDir::Files),
             QStringList({"03011200.i__", "03040905.in_", "03040905.wav"}));
    rows = model::MemberStore(dir.path()).all(nullptr);
    john = std::find_if(rows.begin(), rows.end(),
                        [](const model::Member &m) { return m.mailbox.toInt() == 1001; });
    QCOMPARE(john->password.toInt(), 42);
}

void TestVoiceMail::unreachableMemberStoreEndsTheCall()
{
    QTemporaryDir dir;
    BrokenDirectory members;
    const FixedClock clock(QDateTime(QDate(2026, 3, 4), QTime(9, 30)));
    VoiceMailMachine machine(dir.path(), members, clock);
    QCOMPARE(heardIn(machine, {"1001#"}),
             QStringList({"waves/entermb.wav", "wait 9/3", "broken: disk gone"}));
    // an entry that names no member needs no store
    QCOMPARE(heardIn(machine, {"x"}).at(2), QStringLiteral("waves/invalid.wav"));
}

void TestVoiceMail::testCallIsHandedToTheVoiceMail()
{
    QTemporaryDir dir;
    QVERIFY(model::MemberStore(dir.path()).ensure(nullptr, nullptr));
    model::FlowTree tree;
    model::FlowNode *root = tree.addTopLevel("1_", "answer call");
    model::FlowNode *mail = tree.add(root, model::FlowTree::Relation::LastChild, "2_",
                                     "process recorded messages");
    tree.add(mail, model::FlowTree::Relation::LastChild, "3_", "hangup");
    NoRows values;
    QStringList lines;
    call::CallEngine engine(tree, values, call::Flavour::Wave, dir.filePath("waves"),
                            [&lines](const call::CallEvent &e) {
                                lines << call::transcript::textLine(e);
                            });
    SqlMemberDirectory members(dir.path());
    const FixedClock clock(QDateTime(QDate(2026, 3, 4), QTime(9, 30)));
    TestCallVoiceMail voiceMail(dir.path(), dir.filePath("waves"), members, clock);
    engine.setVoiceMail(&voiceMail);
    QString error;
    // keys without "#" are dropped at the time-out; "#" closes an entry and stays in it; the
    // greeting is recorded into the mailbox; "#" at the menu sends the call to the hang-up
    call::ScriptedCaller caller(engine, call::parseCallScript("1001,T,1001#,7461#,4,R2,#", &error),
                                dir.path());
    QVERIFY(error.isEmpty());
    caller.run();
    const QString heard = lines.join(u'\n');
    QVERIFY2(heard.contains("keyed without the closing # and are dropped"), qPrintable(heard));
    QVERIFY(heard.contains("entry data2 1001#\n"));
    QVERIFY(heard.contains("play invalid.wav (That entry is not valid.)"));
    QVERIFY(heard.contains("play remmenu.wav"));
    QVERIFY(heard.contains("go hang-up 3_ hangup"));
    QVERIFY(lines.last().contains("end hangup 3_ hangup ended the call."));
    QVERIFY(QFileInfo(dir.filePath("mboxes/1001/personal.wav")).size() > 44);
}

QTEST_MAIN(TestVoiceMail)
#include "tst_voicemail.moc"
