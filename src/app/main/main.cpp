#include "app/callcommand.h"
#include "app/checkcommand.h"
#include "app/colourcommand.h"
#include "app/commandline.h"
#include "app/diagramcommand.h"
#include "app/flowfilecommands.h"
#include "app/generatecommand.h"
#include "app/initcommand.h"
#include "app/mainwindow.h"
#include "model/appdata.h"
#include "speech/qtsoundplayer.h"
#include "speech/qtspeechengine.h"
#include "ui/qtuserprompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QTextStream>

#include <memory>

namespace {

struct Command
{
    const char *name;
    app::CommandFunction run;
    const char *summary; // for the window's --help
    // It draws with the GUI's fonts and painters: it needs a GUI application, which runs
    // on the offscreen platform when there is no display.
    bool drawsPictures = false;
};

// The commands that run without the window. Adding one: write its function (parsing its
// words with app::parseCommandLine) and give it a line here.
const Command kCommands[] = {
    {"init", app::runInitCommand, "create the databases and folders"},
    {"generate", app::runGenerateCommand, "write the pages of a flow"},
    {"colour", app::runColourCommand, "a page coloured as the viewer shows it, as HTML"},
    {"export", app::runExportCommand, "a flow as a JSON flow file"},
    {"import", app::runImportCommand, "a JSON flow file into a flow table"},
    {"call", app::runCallCommand, "a test call through a flow, and its transcript"},
    {"diagram", app::runDiagramCommand, "a flow drawn as a diagram, SVG or PNG", true},
    {"check", app::runCheckCommand, "the problems of a flow, one a line"},
};

QString executableDir(const char *argv0)
{
    // Before an application object exists, the folder comes from /proc or argv[0].
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return QFileInfo(self.symLinkTarget()).absolutePath();
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

int runCommand(const Command &command, int argc, char **argv)
{
    if (command.drawsPictures && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        command.drawsPictures ? std::make_unique<QApplication>(argc, argv)
                              : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString appDir =
        model::resolveAppDir(QString(), QCoreApplication::applicationDirPath());
    return command.run(QCoreApplication::arguments().mid(2), appDir, out, err);
}

// The window's command line: --app-dir and a flow database to open. The help lists the
// commands too.
void addWindowOptions(QCommandLineParser &parser)
{
    QString description = QStringLiteral(
        "Without a command: the designer window, with the flow database FILE opened.\n\n"
        "Commands (dialwright COMMAND --help tells more):");
    for (const Command &command : kCommands)
        description += QStringLiteral("\n  dialwright %1  %2").arg(QLatin1String(command.name), -9)
                           .arg(QLatin1String(command.summary));
    parser.setApplicationDescription(description);
    app::addAppDirOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A flow database."),
                                 QStringLiteral("[FILE]"));
}

int runWindow(int argc, char **argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    // --help and --version are answered without a display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--version" || arg == "-v") {
            QCoreApplication app(argc, argv);
            QCommandLineParser parser;
            addWindowOptions(parser);
            return app::parseCommandLine(parser, QString(), app.arguments().mid(1), out, err, 0,
                                         1)
                .value_or(app::ExitDone);
        }
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(DW_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(DW_APP_ID))); // once installed
    QApplication::setApplicationDisplayName(app::MainWindow::title());
    QCommandLineParser parser;
    addWindowOptions(parser);
    if (const std::optional<int> status = app::parseCommandLine(
            parser, QString(), app.arguments().mid(1), out, err, 0, 1))
        return *status;
    const QString appDir = model::resolveAppDir(parser.value(QStringLiteral("app-dir")),
                                                executableDir(argv[0]));

    ui::QtUserPrompts prompts;
    speech::QtSpeechEngine speech;
    speech::QtSoundPlayer sound;
    app::MainWindow window({appDir, prompts, speech, sound});
    prompts.setParentWidget(&window);
    window.show();
    window.startUp();
    // A file handed over by the desktop (the menu entry's %f) is a flow database to open.
    if (!parser.positionalArguments().isEmpty())
        window.openFlowFile(QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath());
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    // Names the user's data folder of an installed program and the window class the menu
    // entry is matched by, so it is the same for the window and the commands.
    QCoreApplication::setApplicationName(QStringLiteral("dialwright"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DW_VERSION));
    const QByteArray first = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    for (const Command &command : kCommands) {
        if (first == command.name)
            return runCommand(command, argc, argv);
    }
    return runWindow(argc, argv);
}
