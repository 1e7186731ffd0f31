// Writes the voice-mail page to the file named by the last argument as the generator
// writes it: lower case, CR LF, 8-bit; with --vxml the VoiceXML service instead. The Wine
// call tests run the page it writes.
#include "codegen/linesink.h"
#include "codegen/remotepage.h"

#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    const bool vxml = argc == 3 && QByteArray(argv[1]) == "--vxml";
    if (argc != 2 && !vxml) {
        QTextStream(stderr) << "usage: dumpremotepage [--vxml] <page.asp>\n";
        return 2;
    }
    codegen::MemoryLineSink sink;
    if (vxml)
        codegen::writeVxmlServicePage(sink);
    else
        codegen::writeRemotePage(sink);
    QByteArray bytes;
    for (const QString &line : sink.lines())
        bytes += line.toLatin1() + "\r\n";
    QFile file(QString::fromLocal8Bit(argv[argc - 1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << file.fileName() << '\n';
        return 1;
    }
    return 0;
}
