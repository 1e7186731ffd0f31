#include "colourcommand.h"

#include "viewer/colourhtml.h"
#include "viewer/colouring.h"
#include "viewer/viewerfile.h"

#include <QFileInfo>
#include <QTextStream>

namespace app {

namespace {

void printUsage(QTextStream &err)
{
    err << "usage: dialwright colour FILE [--generated]\n";
}

} // namespace

int runColourCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString path;
    bool generated = false;
    for (const QString &arg : args) {
        if (arg == u"--generated") {
            generated = true;
        } else if (arg.startsWith(u"--") || !path.isEmpty()) {
            err << "dialwright colour: unexpected argument: " << arg << '\n';
            printUsage(err);
            return 2;
        } else {
            path = arg;
        }
    }
    if (path.isEmpty()) {
        printUsage(err);
        return 2;
    }

    const viewer::ViewerFile file = viewer::readViewerFile(path);
    if (!file.ok) {
        err << "dialwright colour: cannot read " << path << ": " << file.error << '\n';
        err.flush();
        return 1;
    }
    const QString text = generated ? file.text.toLower() : file.text;
    out << viewer::colouredHtml(text, viewer::computeColours(text),
                                QFileInfo(path).fileName());
    out.flush();
    return 0;
}

} // namespace app
