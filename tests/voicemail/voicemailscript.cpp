// Plays scripted calls through the voice-mail machine, for the test that compares it with
// the generated voice-mail page. Reads one JSON file:
//   {"appDir": DIR, "now": "YYYY-MM-DDTHH:MM",
//    "members": [{"mailbox":..,"password":..,"fname":..,"lname":..,"attempts":..}] (optional),
//    "calls": [[ENTRY, ...], ...]}
// An ENTRY answers one wait for keys: the keys as typed, "T" for a time-out, "H" to hang up,
// or a change of the world before the next entry: {"deleteMember": N} deletes the rows of
// mailbox N, {"removeFile": PATH} the file mboxes/PATH. When
// the entries run out while the machine waits, the caller hangs up.
// Writes {"calls": [[EVENT, ...], ...], "members": [[mailbox, password, fname, lname,
// attempts], ...]} with the events ["play", path, start], ["wait", max, timeout],
// ["record", path], ["hangup"], ["caller-hangup"], ["broken", why].
#include "model/memberstore.h"
#include "voicemail/clock.h"
#include "voicemail/sqlmemberdirectory.h"
#include "voicemail/voicemailmachine.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace voicemail;

namespace {
int fail(const QString &why)
{
    QTextStream(stderr) << why << '\n';
    return 1;
}

bool seedMembers(const QString &appDir, const QJsonArray &rows, QString *error)
{
    model::MemberStore store(appDir);
    if (!store.ensure(nullptr, error))
        return false;
    for (const model::Member &m : store.all(error)) {
        if (!store.remove(m.id, error))
            return false;
    }
    for (const QJsonValue &value : rows) {
        const QJsonObject o = value.toObject();
        model::Member m;
        m.mailbox = o.value("mailbox").toVariant();
        m.password = o.value("password").toVariant();
        m.fname = o.value("fname").toVariant();
        m.lname = o.value("lname").toVariant();
        m.attempts = o.value("attempts").toVariant();
        if (!store.insert(m, error))
            return false;
    }
    return true;
}

bool deleteMailbox(const QString &appDir, int mailbox, QString *error)
{
    model::MemberStore store(appDir);
    for (const model::Member &m : store.all(error)) {
        if (m.mailbox.toInt() == mailbox && !store.remove(m.id, error))
            return false;
    }
    return true;
}

QJsonArray event(const Action &a)
{
    switch (a.kind) {
    case Action::Kind::Play:
        return {QStringLiteral("play"), a.path, a.startPosition};
    case Action::Kind::Collect:
        return {QStringLiteral("wait"), a.maxDigits, a.timeoutSeconds};
    case Action::Kind::Record:
        return {QStringLiteral("record"), a.path};
    case Action::Kind::HangUp:
        break;
    }
    if (!a.problem.isEmpty())
        return {QStringLiteral("broken"), a.problem};
    return {QStringLiteral("hangup")};
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return fail(QStringLiteral("usage: voicemailscript <calls.json>"));
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(file.fileName()));
    const QJsonObject input = QJsonDocument::fromJson(file.readAll()).object();
    const QString appDir = input.value("appDir").toString();
    const FixedClock clock(parseNow(input.value("now").toString()));
    if (!clock.now().isValid())
        return fail(QStringLiteral("bad \"now\""));
    QString error;
    if (input.contains("members")
        && !seedMembers(appDir, input.value("members").toArray(), &error))
        return fail(error);
    QDir().mkpath(QDir(appDir).filePath("mboxes"));

    SqlMemberDirectory members(appDir);
    VoiceMailMachine machine(appDir, members, clock);
    QJsonArray calls;
    for (const QJsonValue &script : input.value("calls").toArray()) {
        QJsonArray events;
        const QJsonArray entries = script.toArray();
        qsizetype next = 0;
        for (Action a = machine.start();; ) {
            events.append(event(a));
            if (a.kind == Action::Kind::HangUp)
                break;
            if (a.kind == Action::Kind::Record) {
                QFile recording(QDir(appDir).filePath(a.path));
                if (!recording.open(QIODevice::WriteOnly) || recording.write("recorded") != 8)
                    return fail(QStringLiteral("cannot record %1").arg(recording.fileName()));
            }
            if (a.kind != Action::Kind::Collect) {
                a = machine.proceed();
                continue;
            }
            while (next < entries.size() && entries.at(next).isObject()) {
                const QJsonObject change = entries.at(next++).toObject();
                if (change.contains("removeFile")) {
                    QFile::remove(QDir(appDir).filePath("mboxes/" + change.value("removeFile")
                                                                        .toString()));
                } else if (!deleteMailbox(appDir, change.value("deleteMember").toInt(), &error)) {
                    return fail(error);
                }
            }
            const QString entry = next < entries.size() ? entries.at(next++).toString()
                                                        : QStringLiteral("H");
            if (entry == QLatin1String("H")) {
                events.append(QJsonArray{QStringLiteral("caller-hangup")});
                break;
            }
            a = machine.enter(entry == QLatin1String("T") ? QString() : entry);
        }
        calls.append(events);
    }

    QJsonArray rows;
    model::MemberStore store(appDir);
    QList<model::Member> all = store.all(&error);
    std::sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.id < b.id; });
    auto value = [](const QVariant &v) {
        return v.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue::fromVariant(v);
    };
    for (const model::Member &m : all) {
        rows.append(QJsonArray{value(m.mailbox), value(m.password), value(m.fname),
                               value(m.lname), value(m.attempts)});
    }
    QTextStream(stdout) << QJsonDocument(QJsonObject{{"calls", calls}, {"members", rows}})
                               .toJson(QJsonDocument::Compact)
                        << '\n';
    return 0;
}
