#include "colourcommand.h"

#include "commandline.h"

#include "viewer/colourhtml.h"
#include "viewer/colouring.h"
#include "viewer/viewerfile.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace app {

int runColourCommand(const QStringList &args, const QString &, QTextStream &out,
                     QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints FILE coloured as the code viewer colours it, as an HTML page."));
    const QCommandLineOption generated(
        QStringLiteral("generated"),
        QStringLiteral("Lower-case the text first, as the viewer does after a generation."));
    parser.addOption(generated);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The page to colour."));
    if (const std::optional<int> status =
            parseCommandLine(parser, QStringLiteral("colour"), args, out, err, 1, 1))
        return *status;

    const QString path = parser.positionalArguments().constFirst();
    const viewer::ViewerFile file = viewer::readViewerFile(path);
    if (!file.ok) {
        err << "dialwright colour: cannot read " << path << ": " << file.error << '\n';
        err.flush();
        return ExitFailed;
    }
    const bool voiceXml = viewer::isVoiceXmlFile(path);
    const QString text = parser.isSet(generated) && !voiceXml ? file.text.toLower() : file.text;
    out << viewer::colouredHtml(text,
                                voiceXml ? viewer::computeMarkupColours(text)
                                         : viewer::computeColours(text),
                                QFileInfo(path).fileName());
    out.flush();
    return ExitDone;
}

} // namespace app
