// Writes the voice-mail page to the file named by the first argument as the generator
// writes it: lower case, CR LF, 8-bit. The Wine call tests run the page it writes.
#include "codegen/linesink.h"
#include "codegen/remotepage.h"

#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: dumpremotepage <page.asp>\n";
        return 2;
    }
    codegen::MemoryLineSink sink;
    codegen::writeRemotePage(sink);
    QByteArray bytes;
    for (const QString &line : sink.lines())
        bytes += line.toLatin1() + "\r\n";
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << file.fileName() << '\n';
        return 1;
    }
    return 0;
}
