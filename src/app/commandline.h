#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;
class QTextStream;

namespace model {
class FlowTree;
}

namespace app {

// How every command of the program ends.
enum ExitStatus : int {
    ExitDone = 0,
    ExitFailed = 1,       // the work could not be done, or problems were found
    ExitBadArguments = 2, // a wrong command line: nothing was done
};

// A headless command: runs with the words after its name and the application folder to
// use without --app-dir, prints to `out` and its reasons to `err`, returns an ExitStatus.
using CommandFunction = int (*)(const QStringList &args, const QString &appDirDefault,
                                QTextStream &out, QTextStream &err);

// Parses the words after a command's name ("" for the window) with `parser`, which knows
// the command's description, options and positional arguments; --help and --version are
// added here and answered on `out`. Returns the status to end with there: ExitDone after
// --help or --version, ExitBadArguments (the reason and the help on `err`) for an unknown
// option, a missing value, a repeated option, or fewer than `minArguments` or more than
// `maxArguments` positional arguments. Nothing when the command goes on.
std::optional<int> parseCommandLine(QCommandLineParser &parser, const QString &command,
                                    const QStringList &args, QTextStream &out,
                                    QTextStream &err, int minArguments = 0,
                                    int maxArguments = 0);

// --app-dir DIR, and after parsing the folder it names (absolute), else `appDirDefault`.
void addAppDirOption(QCommandLineParser &parser);
QString appDirOption(const QCommandLineParser &parser, const QString &appDirDefault);

// The options of the commands that read a flow: --app-dir, --flow-db and --table.
struct FlowOptions
{
    QString appDir;
    QString database; // absolute; the demonstration flow's file of appDir by default
    QString table;    // nodesflow by default
};
void addFlowOptions(QCommandLineParser &parser);
// After parsing; false with the reason when the table name cannot be one.
bool flowOptions(const QCommandLineParser &parser, const QString &appDirDefault,
                 FlowOptions *options, QString *error);

// False when `database` is no file, saying so on `err` after `failure` ("Nothing
// generated: ").
bool isFlowDatabase(const QString &database, const QString &failure, QTextStream &err);
// Loads the flow the options name into `tree` as the designer's Load does. False when it
// cannot, the reason on `err` after `failure`; rows left out are reported there too.
bool loadFlow(const FlowOptions &options, model::FlowTree &tree, const QString &failure,
              QTextStream &err);

} // namespace app
