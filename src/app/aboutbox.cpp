#include "aboutbox.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTextToSpeech>
#include <QVBoxLayout>

namespace app {

QString AboutBox::versionText()
{
    return QStringLiteral("Dialwright - Telephony Code Generator\nVersion %1").arg(QStringLiteral(DW_VERSION));
}

QString AboutBox::requirementsText()
{
    return QStringLiteral(
        "Needs to run: Qt 6 (Widgets, SQL with the SQLite driver, Text to Speech, Multimedia, "
        "Print Support). Speech uses the flite engine (qt6-speech-flite-plugin); sound uses "
        "GStreamer (gstreamer1.0-plugins-base and -good). espeak-ng makes the sample voice "
        "files. The generated pages run on a Web Telephony Engine server with Active Server "
        "Pages.");
}

QString AboutBox::systemInformation(const QString &appDir)
{
    QStringList lines;
    lines << QStringLiteral("Operating system: %1").arg(QSysInfo::prettyProductName());
    lines << QStringLiteral("Kernel: %1 %2").arg(QSysInfo::kernelType(), QSysInfo::kernelVersion());
    lines << QStringLiteral("Processor: %1").arg(QSysInfo::currentCpuArchitecture());
    lines << QStringLiteral("Qt: %1 (built with %2)").arg(QString::fromLatin1(qVersion()),
                                                           QStringLiteral(QT_VERSION_STR));
    lines << QStringLiteral("Database drivers: %1").arg(QSqlDatabase::drivers().join(QLatin1String(", ")));
    const QStringList engines = QTextToSpeech::availableEngines();
    lines << QStringLiteral("Speech engines: %1")
                 .arg(engines.isEmpty() ? QStringLiteral("none") : engines.join(QLatin1String(", ")));
    lines << QStringLiteral("Platform: %1").arg(QGuiApplication::platformName());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        lines << QStringLiteral("Screen: %1 x %2").arg(screen->size().width()).arg(screen->size().height());
    lines << QStringLiteral("Application folder: %1").arg(QDir::toNativeSeparators(appDir));
    return lines.join(u'\n');
}

AboutBox::AboutBox(const QString &appDir, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Dialwright"));
    setModal(false);
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    QFont big = version->font();
    big.setBold(true);
    version->setFont(big);
    auto *requirements = new QLabel(requirementsText(), this);
    requirements->setObjectName(QStringLiteral("lblRequirements"));
    requirements->setWordWrap(true);
    auto *system = new QPlainTextEdit(systemInformation(appDir), this);
    system->setObjectName(QStringLiteral("txtSystemInfo"));
    system->setReadOnly(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(version);
    layout->addWidget(requirements);
    layout->addWidget(new QLabel(QStringLiteral("System information:"), this));
    layout->addWidget(system, 1);
    layout->addWidget(buttons);
    resize(520, 420);
}

} // namespace app
