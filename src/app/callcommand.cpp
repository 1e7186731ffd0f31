#include "callcommand.h"

#include "call/callengine.h"
#include "call/callscript.h"
#include "call/scriptedcaller.h"
#include "call/storevalues.h"
#include "call/transcript.h"
#include "model/appdata.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/sqlconnection.h"
#include "voicemail/clock.h"
#include "voicemail/mailboxworldcopy.h"
#include "voicemail/sqlmemberdirectory.h"
#include "voicemail/testcallvoicemail.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTextStream>

namespace app {

namespace {

const char kUsage[] =
    "Usage: dialwright call [--app-dir DIR] [--flow-db FILE] [--table NAME] "
    "[--flavour tts|wave] [--scratch] [--now YYYY-MM-DDTHH:MM] --keys SCRIPT [--json]\n"
    "       SCRIPT: the caller's actions separated by commas: keys (0-9, *, #), T a time-out,\n"
    "       H hanging up, R<n> speaking n seconds into a recording; e.g. \"1,1234#,T,2\"\n"
    "       --scratch: the voice mail works on a copy of the members and mailboxes\n"
    "       --now: the time the voice mail takes for now (message ages, forwarding)";

struct Options
{
    QHash<QString, QString> values;
    bool json = false;
    bool help = false;
    bool scratch = false;
};

bool parseOptions(const QStringList &args, Options *options, QString *error)
{
    static const QStringList known{QStringLiteral("--app-dir"), QStringLiteral("--flow-db"),
                                   QStringLiteral("--table"), QStringLiteral("--flavour"),
                                   QStringLiteral("--keys"), QStringLiteral("--now")};
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        if (name == u"--scratch") {
            options->scratch = true;
            continue;
        }
        if (name == u"--json" || name == u"--help" || name == u"-h") {
            (name == u"--json" ? options->json : options->help) = true;
            continue;
        }
        QString value;
        const qsizetype equals = name.indexOf(u'=');
        if (name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (known.contains(name)) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value.").arg(name);
                return false;
            }
            value = args.at(++i);
        }
        if (!known.contains(name)) {
            *error = QStringLiteral("Unknown argument for call: %1").arg(args.at(i));
            return false;
        }
        // An empty script is a caller who does nothing; every other option needs a value.
        if (value.isEmpty() && name != u"--keys") {
            *error = QStringLiteral("%1 needs a value.").arg(name);
            return false;
        }
        options->values.insert(name, value);
    }
    return true;
}

// Loads the flow table into the tree; false with the reason in *error.
bool loadFlow(const QString &database, const QString &table, model::FlowTree &tree,
              QString *error, QTextStream &err)
{
    if (!QFileInfo(database).isFile()) {
        *error = QStringLiteral("the flow database %1 does not exist.")
                     .arg(QDir::toNativeSeparators(database));
        return false;
    }
    model::FlowStore store(database, table);
    if (!store.isOpen()) {
        *error = QStringLiteral("cannot read the flow database %1: %2")
                     .arg(QDir::toNativeSeparators(database), store.errorString());
        return false;
    }
    QString why;
    const QStringList tables = store.tables(&why);
    if (!tables.contains(table, Qt::CaseInsensitive)) {
        *error = why.isEmpty() ? QStringLiteral("the flow database %1 has no table %2.")
                                     .arg(QDir::toNativeSeparators(database), table)
                               : QStringLiteral("the flow database %1 cannot be read: %2")
                                     .arg(QDir::toNativeSeparators(database), why);
        return false;
    }
    int skipped = 0;
    if (!store.loadInto(tree, &why, &skipped)) {
        *error = QStringLiteral("the table %1 cannot be loaded: %2").arg(table, why);
        return false;
    }
    if (skipped > 0)
        err << skipped << (skipped == 1 ? " row was" : " rows were")
            << " left out: their parent node is not in the table before them." << Qt::endl;
    return true;
}

} // namespace

int runCallCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                   QTextStream &err)
{
    Options options;
    QString error;
    if (!parseOptions(args, &options, &error)) {
        err << error << Qt::endl << kUsage << Qt::endl;
        return 2;
    }
    if (options.help) {
        out << kUsage << Qt::endl;
        return 0;
    }
    if (!options.values.contains(QStringLiteral("--keys"))) {
        err << "call needs --keys: the caller's actions." << Qt::endl << kUsage << Qt::endl;
        return 2;
    }
    const QList<call::ScriptAction> script =
        call::parseCallScript(options.values.value(QStringLiteral("--keys")), &error);
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return 2;
    }
    const QString flavourName = options.values.value(QStringLiteral("--flavour"),
                                                     QStringLiteral("tts"));
    if (flavourName != u"tts" && flavourName != u"wave") {
        err << "Unknown flavour: " << flavourName << " (use tts or wave)." << Qt::endl;
        return 2;
    }
    const call::Flavour flavour = flavourName == u"tts" ? call::Flavour::Tts
                                                         : call::Flavour::Wave;
    const QString table = options.values.value(QStringLiteral("--table"),
                                               model::demoflow::tableName());
    if (!model::isValidTableName(table, &error)) {
        err << "Table name " << table << ": " << error << Qt::endl;
        return 2;
    }

    const QString nowOption = options.values.value(QStringLiteral("--now"));
    const QDateTime now = voicemail::parseNow(nowOption);
    if (!nowOption.isEmpty() && !now.isValid()) {
        err << "--now " << nowOption << ": not a time written YYYY-MM-DDTHH:MM." << Qt::endl;
        return 2;
    }

    const QString appDirOption = options.values.value(QStringLiteral("--app-dir"));
    const QString appDir = appDirOption.isEmpty() ? appDirDefault
                                                  : QDir(appDirOption).absolutePath();
    const model::StartupReport report = model::initialiseData(appDir);
    for (const QString &problem : report.problems)
        err << problem << Qt::endl;
    const QString flowOption = options.values.value(QStringLiteral("--flow-db"));
    const QString database = flowOption.isEmpty() ? model::demoflow::path(appDir)
                                                  : QFileInfo(flowOption).absoluteFilePath();
    model::FlowTree tree;
    if (!loadFlow(database, table, tree, &error, err)) {
        err << "No call: " << error << Qt::endl;
        return 1;
    }
    call::StoreValues values(database, table);
    if (!values.isOpen(&error)) {
        err << "No call: " << error << Qt::endl;
        return 1;
    }
    QTemporaryDir recordings;
    if (!recordings.isValid()) {
        err << "No call: no temporary folder for the recordings: " << recordings.errorString()
            << Qt::endl;
        return 1;
    }

    // The voice mail works on the members and mailboxes of the application folder, as a
    // real call would, or with --scratch on a copy that goes when the call is over.
    QTemporaryDir scratch;
    QString worldDir = appDir;
    if (options.scratch) {
        if (!scratch.isValid() || !voicemail::copyMailboxWorld(appDir, scratch.path(), &error)) {
            err << "No call: "
                << (error.isEmpty() ? QStringLiteral("no temporary folder for the copy.") : error)
                << Qt::endl;
            return 1;
        }
        worldDir = scratch.path();
    }
    const voicemail::FixedClock fixedClock(now);
    const voicemail::SystemClock systemClock;
    voicemail::SqlMemberDirectory members(worldDir);
    voicemail::TestCallVoiceMail voiceMail(
        worldDir, QDir(appDir).filePath(QStringLiteral("waves")), members,
        now.isValid() ? static_cast<const voicemail::Clock &>(fixedClock) : systemClock);

    const bool json = options.json;
    call::CallEngine engine(tree, values, flavour, QDir(appDir).filePath(QStringLiteral("waves")),
                            [&out, json](const call::CallEvent &event) {
                                if (json)
                                    out << call::transcript::jsonLine(event) << '\n';
                                else
                                    out << call::transcript::textLine(event) << '\n';
                            });
    engine.setVoiceMail(&voiceMail);
    call::ScriptedCaller caller(engine, script, recordings.path());
    caller.run();
    out.flush();
    const QStringList unused = caller.unusedActions();
    if (!unused.isEmpty())
        err << "Not used, the call was over: " << unused.join(u',') << Qt::endl;
    return 0;
}

} // namespace app
