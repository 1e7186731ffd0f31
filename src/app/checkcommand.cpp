#include "checkcommand.h"

#include "commandline.h"

#include "checker/checktarget.h"
#include "checker/flowcheck.h"
#include "checker/flowfacts.h"
#include "model/flowtree.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace app {

int runCheckCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                    QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks a flow before it goes live and prints its problems one a line,\n"
        "KEY TEXT: severity: message. Errors: a caller cannot get through; warnings: the\n"
        "caller hears something not intended. Creates and changes nothing. Exit status 0\n"
        "without errors, 1 with errors."));
    parser.addOption({QStringLiteral("target"),
                      QStringLiteral("The target to check for: %1 (default: every target).")
                          .arg(checker::targetNames().join(QStringLiteral(", "))),
                      QStringLiteral("T")});
    addFlowOptions(parser);
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object a line.")});
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("check"), args, out, err))
        return *status;
    checker::CheckTarget target = checker::everyTarget();
    if (parser.isSet(QStringLiteral("target"))) {
        const QString name = parser.value(QStringLiteral("target"));
        const std::optional<checker::CheckTarget> found = checker::findTarget(name);
        if (!found) {
            err << "Unknown target: " << name << Qt::endl;
            return ExitBadArguments;
        }
        target = *found;
    }
    FlowOptions options;
    QString error;
    if (!flowOptions(parser, appDirDefault, &options, &error)) {
        err << error << Qt::endl;
        return ExitBadArguments;
    }
    model::FlowTree tree;
    if (!loadFlow(options, tree, QStringLiteral("Nothing checked: "), err))
        return ExitFailed;

    const checker::FlowFacts facts =
        checker::gatherFacts(tree, {options.appDir, options.database, options.table});
    const QList<checker::Problem> problems = checker::checkFlow(facts, target);
    for (const checker::Problem &p : problems) {
        if (parser.isSet(QStringLiteral("json")))
            out << QString::fromUtf8(checker::jsonLine(p)) << '\n';
        else
            out << checker::formatLine(p) << '\n';
    }
    out.flush();
    const qsizetype errors = checker::countOf(problems, checker::Severity::Error);
    const qsizetype warnings = checker::countOf(problems, checker::Severity::Warning);
    err << options.table << ": " << errors << (errors == 1 ? " error, " : " errors, ")
        << warnings << (warnings == 1 ? " warning" : " warnings") << Qt::endl;
    return errors > 0 ? ExitFailed : ExitDone;
}

} // namespace app
