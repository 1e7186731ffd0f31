#include "demoflow.h"

#include "flowstore.h"
#include "sqlconnection.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace model::demoflow {

namespace {
struct DemoRow
{
    const char *key;
    const char *parent;
    const char *text;
    const char *voicefile;
};
const DemoRow kRows[] = {
    {"1_", "0_", "answer call", ".wav"},
    {"2_", "1_", "play main greetings", "defaultgreeting.wav"},
    {"5_", "2_", "play personal greetings", "messagemenu1.wav"},
    {"6_", "5_", "get option digits", ".wav"},
    {"7_", "6_", "process recorded messages", "menu.wav"},
    {"9_", "7_", "play message options", "messagemenu.wav"},
    {"8_", "6_", "record message", "mainmessage.wav"},
    {"14_", "9_", "hangup", "goodbye.wav"},
    {"13_", "9_", "hear recorded message", ".wav"},
    {"12_", "9_", "re-record messages", ".wav"},
    {"11_", "9_", "save recorded message", "messagesaved.wav"},
    {"10_", "9_", "delete recorded message", "messagedeleted.wav"},
    {"15_", "8_", "hangup", "goodbye.wav"},
    {"17_", "2_", "get password digits", "enterpw.wav"},
    {"16_", "2_", "get user id digits", "entermb.wav"},
};

bool seed(QSqlDatabase &db, QString *error)
{
    if (!FlowStore::createTable(db, tableName(), error))
        return false;
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral(
            "INSERT INTO nodesflow (\"key\", \"parent\", \"text\", \"image\", "
            "\"selectedimage\", voicefile, inputid, IgnoreKeys, inputmaxlen, inputstyle, "
            "InputTerm, inputtype, FirstTimeoutInterval, InterTimeoutInterval, prompttxt, "
            "MaxReclen) VALUES (?, ?, ?, 1, 2, ?, ?, 'true', '4', 'cut-through: no', '#', "
            "'text', '30', '30', 'type text to be spoken here.', '60')")))
        return fail(error, errorText(q.lastError()));
    for (const DemoRow &r : kRows) {
        q.addBindValue(QString::fromLatin1(r.key));
        q.addBindValue(QString::fromLatin1(r.parent));
        q.addBindValue(QString::fromLatin1(r.text));
        q.addBindValue(QString::fromLatin1(r.voicefile));
        q.addBindValue(QString::fromLatin1(r.text));
        if (!q.exec())
            return fail(error, errorText(q.lastError()));
    }
    return true;
}

} // namespace

QString path(const QString &appDir)
{
    const QString wanted = QDir(appDir).filePath(fileName());
    QString actual;
    return fileExistsIgnoringCase(wanted, &actual) ? actual : wanted;
}

bool ensure(const QString &appDir, bool *created, QString *error)
{
    return createIfMissing(QDir(appDir).filePath(fileName()), seed, created, error);
}

} // namespace model::demoflow
