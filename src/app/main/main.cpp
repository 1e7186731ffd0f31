#include "app/callcommand.h"
#include "app/colourcommand.h"
#include "app/flowfilecommands.h"
#include "app/generatecommand.h"
#include "app/initcommand.h"
#include "app/mainwindow.h"
#include "model/appdata.h"
#include "speech/qtsoundplayer.h"
#include "speech/qtspeechengine.h"
#include "ui/qtuserprompts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTextStream>

#include <cstdio>

namespace {

QString executableDir(const char *argv0)
{
    // Before an application object exists, the folder comes from /proc or argv[0].
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return QFileInfo(self.symLinkTarget()).absolutePath();
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

int runHeadless(const QString &command, int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(2);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString defaultDir = model::resolveAppDir(QString(), QCoreApplication::applicationDirPath());
    if (command == u"init")
        return app::runInitCommand(args, defaultDir, out, err);
    if (command == u"generate")
        return app::runGenerateCommand(args, defaultDir, out, err);
    if (command == u"export")
        return app::runExportCommand(args, defaultDir, out, err);
    if (command == u"call")
        return app::runCallCommand(args, defaultDir, out, err);
    return app::runColourCommand(args, out, err);
}

} // namespace

int main(int argc, char **argv)
{
    // Names the user's data folder of an installed program and the window class the menu
    // entry is matched by, so it is the same for the window and the commands.
    QCoreApplication::setApplicationName(QStringLiteral("dialwright"));
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == u"init" || command == u"generate" || command == u"colour"
        || command == u"export" || command == u"call")
        return runHeadless(command, argc, argv);
    if (command == u"--help" || command == u"-h") {
        std::fputs("Usage:\n"
                   "  dialwright [--app-dir DIR] [FILE]          the designer window, with the\n"
                   "                                             flow database FILE opened\n"
                   "  dialwright init [--app-dir DIR]            create the databases and folders\n"
                   "  dialwright generate --target T [--app-dir DIR] [--flow-db FILE] [--table NAME]\n"
                   "                                             T: wteTTS, wteWave, callxml, TTS\n"
                   "  dialwright colour FILE [--generated]       the file coloured, as HTML\n"
                   "  dialwright export [--app-dir DIR] [--flow-db FILE] [--table NAME]\n"
                   "                    [--out FILE]             the flow as a JSON flow file\n"
                   "  dialwright call [--app-dir DIR] [--flow-db FILE] [--table NAME]\n"
                   "                  [--flavour tts|wave] --keys SCRIPT [--json]\n"
                   "                                             a test call, its transcript\n"
                   "The application folder is --app-dir, else DIALWRIGHT_HOME, else the user's\n"
                   "data folder (the program's folder when it runs from its build folder).\n",
                   stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(DW_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(DW_APP_ID))); // once installed
    QApplication::setApplicationDisplayName(app::MainWindow::title());
    QStringList args = app.arguments().mid(1);
    QString error;
    const QString option = app::takeAppDirOption(args, &error);
    // A file handed over by the desktop (the menu entry's %f) is a flow database to open.
    const QString flowFile = args.size() == 1 && !args.first().startsWith(u'-')
                                 ? QFileInfo(args.takeFirst()).absoluteFilePath()
                                 : QString();
    if (!error.isEmpty() || !args.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? QStringLiteral("Unknown argument: %1").arg(args.join(u' ')) : error));
        return 2;
    }
    const QString appDir = model::resolveAppDir(option, executableDir(argv[0]));

    ui::QtUserPrompts prompts;
    speech::QtSpeechEngine speech;
    speech::QtSoundPlayer sound;
    app::MainWindow window({appDir, prompts, speech, sound});
    prompts.setParentWidget(&window);
    window.show();
    window.startUp();
    if (!flowFile.isEmpty())
        window.openFlowFile(flowFile);
    return app.exec();
}
