// Times the viewer's colouring on generated-like pages of 10 kB, 100 kB and 1 MB: the
// linear colouring, the transcription of the original routines (where it can finish within a
// minute), and the whole display of a page in the viewer. Prints the figures; asserts
// nothing.

#include "../tests/viewer/referencecolouring.h"
#include "samplepages.h"

#include "ui/userprompts.h"
#include "viewer/codeviewer.h"
#include "viewer/colouring.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

class SilentPrompts final : public ui::UserPrompts
{
public:
    void message(const QString &, Icon) override {}
    Answer ask(const QString &, Buttons, Icon) override { return Answer::Cancel; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    bool choosePrinter(QPrinter &, bool, bool &) override { return false; }
    void beep() override {}
};

// Best of several runs, in milliseconds.
template<typename Work>
double bestMs(Work work, int runs)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

bool sameColours(const std::vector<viewer::Colour> &fast, const std::vector<QRgb> &slow)
{
    if (fast.size() != slow.size())
        return false;
    for (std::size_t i = 0; i < fast.size(); ++i) {
        if (viewer::rgb(fast[i]) != slow[i])
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    const qsizetype sizes[] = {10 * 1000, 100 * 1000, 1000 * 1000};
    double previousSlowMs = 0;
    qsizetype previousSize = 0;
    out << "size(chars)  fast(ms)  fast(us/kB)  transcription(ms)  ratio  same  viewer(ms)\n";
    for (const qsizetype size : sizes) {
        const QString page = samples::generatedLikePage(size, 42);
        std::vector<viewer::Colour> fast;
        const double fastMs = bestMs([&] { fast = viewer::computeColours(page); }, 5);

        // The transcription is quadratic: estimate from the previous size before running.
        QString slowText = QStringLiteral("skipped");
        QString ratio = QStringLiteral("-");
        QString same = QStringLiteral("-");
        const double ratioOfSizes =
            double(page.size()) / double(std::max<qsizetype>(1, previousSize));
        const double estimateMs = previousSlowMs * ratioOfSizes * ratioOfSizes;
        if (previousSize == 0 || (previousSlowMs > 0 && estimateMs < 60000)) {
            std::vector<QRgb> slow;
            const double slowMs = bestMs([&] { slow = reference::referenceColours(page); }, 1);
            slowText = QString::number(slowMs, 'f', 1);
            ratio = QString::number(slowMs / fastMs, 'f', 0) + u'x';
            same = sameColours(fast, slow) ? QStringLiteral("yes") : QStringLiteral("NO");
            previousSlowMs = slowMs;
        } else {
            slowText += QStringLiteral(" (est. %1 s)").arg(estimateMs / 1000, 0, 'f', 0);
            previousSlowMs = 0;
        }
        previousSize = page.size();

        // The whole display: read the file, lower-case, colour, fill the editor.
        const QString path = dir.filePath(QStringLiteral("page%1.asp").arg(size));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(page.toUpper().replace(u'\n', QStringLiteral("\r\n")).toLatin1());
        file.close();
        SilentPrompts prompts;
        viewer::CodeViewer codeViewer(prompts);
        const double viewerMs = bestMs([&] { codeViewer.showGeneratedCode(path); }, 2);

        out << qSetFieldWidth(11) << page.size() << qSetFieldWidth(10)
            << QString::number(fastMs, 'f', 2) << qSetFieldWidth(13)
            << QString::number(fastMs * 1000 / (double(page.size()) / 1000), 'f', 1)
            << qSetFieldWidth(19) << slowText << qSetFieldWidth(7) << ratio
            << qSetFieldWidth(6) << same << qSetFieldWidth(12)
            << QString::number(viewerMs, 'f', 1) << qSetFieldWidth(0) << '\n';
        out.flush();
    }
    return 0;
}
