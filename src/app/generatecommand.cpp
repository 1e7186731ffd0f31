#include "generatecommand.h"

#include "codegen/generator.h"
#include "codegen/narrator.h"
#include "model/appdata.h"
#include "model/demoflow.h"
#include "model/flowstore.h"
#include "model/flowtree.h"
#include "model/sqlconnection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

namespace app {

namespace {

const char kUsage[] = "Usage: dialwright generate --target T [--app-dir DIR] [--flow-db FILE] "
                      "[--table NAME]\n       T: wteTTS, wteWave, callxml or TTS";

class SentencePrinter final : public codegen::Narrator
{
public:
    void speakText(const QString &sentence) override { sentences << sentence; }
    QStringList sentences;
};

// "--name value" or "--name=value" for the four options; false with *error otherwise.
bool parseOptions(const QStringList &args, QHash<QString, QString> *options, QString *error)
{
    static const QStringList known{QStringLiteral("--target"), QStringLiteral("--app-dir"),
                                   QStringLiteral("--flow-db"), QStringLiteral("--table")};
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
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
            *error = QStringLiteral("Unknown argument for generate: %1").arg(args.at(i));
            return false;
        }
        if (value.isEmpty()) {
            *error = QStringLiteral("%1 needs a value.").arg(name);
            return false;
        }
        options->insert(name, value);
    }
    return true;
}

} // namespace

int runGenerateCommand(const QStringList &args, const QString &appDirDefault, QTextStream &out,
                       QTextStream &err)
{
    QHash<QString, QString> options;
    QString error;
    if (!parseOptions(args, &options, &error)) {
        err << error << Qt::endl << kUsage << Qt::endl;
        return 2;
    }
    const QString targetName = options.value(QStringLiteral("--target"));
    const std::optional<codegen::GenerationTarget> target = codegen::parseTarget(targetName);
    if (!target) {
        err << (targetName.isEmpty() ? QStringLiteral("generate needs --target.")
                                     : QStringLiteral("Unknown target: %1").arg(targetName))
            << Qt::endl
            << kUsage << Qt::endl;
        return 2;
    }
    const QString table = options.value(QStringLiteral("--table"), model::demoflow::tableName());
    if (!model::isValidTableName(table, &error)) {
        err << "Table name " << table << ": " << error << Qt::endl;
        return 2;
    }

    const QString appDirOption = options.value(QStringLiteral("--app-dir"));
    const QString appDir = appDirOption.isEmpty() ? appDirDefault
                                                  : QDir(appDirOption).absolutePath();
    if (!QFileInfo(appDir).isDir()) {
        err << "Nothing generated: " << model::checkAppDir(appDir) << Qt::endl;
        return 1;
    }
    auto isNoDatabase = [&err](const QString &database) {
        if (QFileInfo(database).isFile())
            return false;
        err << "Nothing generated: the flow database " << QDir::toNativeSeparators(database)
            << (QFileInfo(database).isDir() ? " is a folder, not a database file."
                                            : " does not exist.")
            << Qt::endl;
        return true;
    };
    // A flow database named on the command line is checked before start-up makes anything.
    const QString flowOption = options.value(QStringLiteral("--flow-db"));
    if (!flowOption.isEmpty() && isNoDatabase(QFileInfo(flowOption).absoluteFilePath()))
        return 1;
    const model::StartupReport report = model::initialiseData(appDir);
    for (const QString &problem : report.problems)
        err << problem << Qt::endl;
    const QString database = flowOption.isEmpty() ? model::demoflow::path(appDir)
                                                  : QFileInfo(flowOption).absoluteFilePath();
    if (isNoDatabase(database))
        return 1;

    model::FlowTree tree;
    {
        model::FlowStore store(database, table);
        if (!store.isOpen()) {
            err << "Nothing generated: cannot read the flow database "
                << QDir::toNativeSeparators(database) << ": " << store.errorString() << Qt::endl;
            return 1;
        }
        model::SkippedRows skipped;
        if (!store.loadInto(tree, &error, &skipped)) {
            err << "Nothing generated: " << error << Qt::endl;
            return 1;
        }
        if (skipped.total() > 0)
            err << skipped.describe() << Qt::endl;
    }

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
