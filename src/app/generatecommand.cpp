#include "generatecommand.h"

#include "commandline.h"

#include "codegen/generator.h"
#include "codegen/narrator.h"
#include "model/appdata.h"
#include "model/flowstore.h"
#include "model/flowtree.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace app {

namespace {

class SentencePrinter final : public codegen::Narrator
{
public:
    void speakText(const QString &sentence) override { sentences << sentence; }
    QStringList sentences;
};

} // namespace

int runGenerateCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                       QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the pages of a flow into the application folder, making sure of its\n"
        "databases and folders first as init does. Prints the completion message, or\n"
        "for the target TTS the narration's sentences."));
    parser.addOption({QStringLiteral("target"),
                      QStringLiteral("What to write: wteTTS, wteWave, callxml, TTS or vxml."),
                      QStringLiteral("T")});
    addFlowOptions(parser);
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("generate"), args, out, err))
        return *status;
    const QString targetName = parser.value(QStringLiteral("target"));
    const std::optional<codegen::GenerationTarget> target = codegen::parseTarget(targetName);
    if (!target) {
        err << (targetName.isEmpty() ? QStringLiteral("generate needs --target.")
                                     : QStringLiteral("Unknown target: %1").arg(targetName))
            << Qt::endl;
        return ExitBadArguments;
    }
    FlowOptions options;
    QString error;
    if (!flowOptions(parser, appDirDefault, &options, &error)) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }
    const QString &appDir = options.appDir;
    const QString &table = options.table;
    if (!QFileInfo(appDir).isDir()) {
        err << "Nothing generated: " << model::checkAppDir(appDir) << Qt::endl;
        return 1;
    }
    // A flow database named on the command line is checked before start-up makes anything.
    const QString failure = QStringLiteral("Nothing generated: ");
    if (parser.isSet(QStringLiteral("flow-db"))
        && !isFlowDatabase(options.database, failure, err))
        return 1;
    const model::StartupReport report = model::initialiseData(appDir);
    for (const QString &problem : report.problems)
        err << problem << Qt::endl;
    model::FlowTree tree;
    if (!loadFlow(options, tree, failure, err))
        return 1;
    const QString &database = options.database;

    SentencePrinter narrator;
    const codegen::GenerationResult result =
        codegen::generate(tree, {*target, appDir, database, table}, &narrator);
    if (!result.ok) {
        err << "Nothing generated: " << result.error << Qt::endl;
        return 1;
    }
    if (*target == codegen::GenerationTarget::Narration) {
        for (const QString &sentence : std::as_const(narrator.sentences))
            out << sentence << '\n';
    } else {
        out << codegen::completionMessage(*target, result.remoteNeeded) << '\n';
    }
    out.flush();
    return 0;
}

} // namespace app
