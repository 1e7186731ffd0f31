#include "callcommand.h"

#include "commandline.h"

#include "call/callengine.h"
#include "call/callscript.h"
#include "call/scriptedcaller.h"
#include "call/storevalues.h"
#include "call/transcript.h"
#include "model/appdata.h"
#include "model/flowtree.h"
#include "voicemail/clock.h"
#include "voicemail/mailboxworldcopy.h"
#include "voicemail/sqlmemberdirectory.h"
#include "voicemail/testcallvoicemail.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

namespace app {

int runCallCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                   QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs one test call through a flow and prints its transcript, one event a line.\n"
        "SCRIPT holds the caller's actions separated by commas: keys (0-9, *, #), T a\n"
        "time-out, H hanging up, R<n> speaking n seconds into a recording; e.g.\n"
        "\"1,1234#,T,2\"."));
    parser.addOption({QStringLiteral("keys"), QStringLiteral("The caller's actions."),
                      QStringLiteral("SCRIPT")});
    parser.addOption({QStringLiteral("flavour"),
                      QStringLiteral("tts (the default): prompt texts spoken; wave: voice files "
                                     "played."),
                      QStringLiteral("tts|wave"), QStringLiteral("tts")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("The transcript as JSON lines.")});
    parser.addOption({QStringLiteral("scratch"),
                      QStringLiteral("The voice mail works on a copy of the members and "
                                     "mailboxes.")});
    parser.addOption({QStringLiteral("now"),
                      QStringLiteral("The time the voice mail takes for now (message ages, "
                                     "forwarding)."),
                      QStringLiteral("YYYY-MM-DDTHH:MM")});
    addFlowOptions(parser);
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("call"), args, out, err))
        return *status;
    // An empty script is a caller who does nothing, but the script must be given.
    if (!parser.isSet(QStringLiteral("keys"))) {
        err << "call needs --keys: the caller's actions." << Qt::endl;
        return ExitBadArguments;
    }
    QString error;
    const QList<call::ScriptAction> script =
        call::parseCallScript(parser.value(QStringLiteral("keys")), &error);
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }
    const QString flavourName = parser.value(QStringLiteral("flavour"));
    if (flavourName != u"tts" && flavourName != u"wave") {
        err << "Unknown flavour: " << flavourName << " (use tts or wave)." << Qt::endl;
        return ExitBadArguments;
    }
    const call::Flavour flavour = flavourName == u"tts" ? call::Flavour::Tts
                                                         : call::Flavour::Wave;
    const QString nowOption = parser.value(QStringLiteral("now"));
    const QDateTime now = voicemail::parseNow(nowOption);
    if (!nowOption.isEmpty() && !now.isValid()) {
        err << "--now " << nowOption << ": not a time written YYYY-MM-DDTHH:MM." << Qt::endl;
        return ExitBadArguments;
    }
    FlowOptions options;
    if (!flowOptions(parser, appDirDefault, &options, &error)) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }

    // A flow database named on the command line is checked before start-up makes anything.
    const QString failure = QStringLiteral("No call: ");
    if (parser.isSet(QStringLiteral("flow-db"))
        && !isFlowDatabase(options.database, failure, err))
        return ExitFailed;
    const QString &appDir = options.appDir;
    const model::StartupReport report = model::initialiseData(appDir);
    for (const QString &problem : report.problems)
        err << problem << Qt::endl;
    model::FlowTree tree;
    if (!loadFlow(options, tree, failure, err))
        return ExitFailed;
    call::StoreValues values(options.database, options.table);
    if (!values.isOpen(&error)) {
        err << failure << error << Qt::endl;
        return ExitFailed;
    }
    QTemporaryDir recordings;
    if (!recordings.isValid()) {
        err << failure << "no temporary folder for the recordings: "
            << recordings.errorString() << Qt::endl;
        return ExitFailed;
    }

    // The voice mail works on the members and mailboxes of the application folder, as a
    // real call would, or with --scratch on a copy that goes when the call is over.
    QTemporaryDir scratch;
    QString worldDir = appDir;
    if (parser.isSet(QStringLiteral("scratch"))) {
        if (!scratch.isValid() || !voicemail::copyMailboxWorld(appDir, scratch.path(), &error)) {
            err << failure
                << (error.isEmpty() ? QStringLiteral("no temporary folder for the copy.") : error)
                << Qt::endl;
            return ExitFailed;
        }
        worldDir = scratch.path();
    }
    const voicemail::FixedClock fixedClock(now);
    const voicemail::SystemClock systemClock;
    voicemail::SqlMemberDirectory members(worldDir);
    voicemail::TestCallVoiceMail voiceMail(
        worldDir, QDir(appDir).filePath(QStringLiteral("waves")), members,
        now.isValid() ? static_cast<const voicemail::Clock &>(fixedClock) : systemClock);

    const bool json = parser.isSet(QStringLiteral("json"));
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
    return ExitDone;
}

} // namespace app
