// Start-up of the designer window, offscreen: from constructing the window to the window
// shown with the default flow loaded, on a first start (all three databases seeded) and on
// a later start (existing databases); on a first start also until the sample recordings,
// made in the background, are all there. Prints the median and worst of several runs.
#include "app/mainwindow.h"
#include "properties/samplevoices.h"
#include "speech/qtsoundplayer.h"
#include "speech/qtspeechengine.h"
#include "ui/userprompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// Start-up must not block on a dialog here either.
class SilentPrompts final : public ui::UserPrompts
{
public:
    void message(const QString &text, Icon) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    Answer ask(const QString &, Buttons, Icon) override { return Answer::Cancel; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override { return std::nullopt; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    bool choosePrinter(QPrinter &, bool, bool &) override { return false; }
    void beep() override {}
};

struct Start
{
    double shown;   // the window shown with its flow
    double samples; // the sample recordings made in the background as well
};

Start startOnce(const QString &dir, speech::SpeechEngine &speech, speech::SoundPlayer &sound)
{
    SilentPrompts prompts;
    QElapsedTimer timer;
    timer.start();
    app::MainWindow window({dir, prompts, speech, sound});
    window.show();
    window.startUp();
    QApplication::processEvents();
    const double shown = timer.nsecsElapsed() / 1e6;
    while (window.findChild<properties::SampleVoiceMaker *>())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return {shown, timer.nsecsElapsed() / 1e6};
}

void report(const char *what, std::vector<double> ms, double target)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.1f ms  worst %7.1f ms  (target < %.0f ms, %zu runs)\n", what,
                ms[ms.size() / 2], ms.back(), target, ms.size());
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    speech::QtSpeechEngine speech;
    speech::QtSoundPlayer sound;
    const int runs = 9;
    std::vector<double> first, firstSamples, later;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        const Start start = startOnce(dir.path(), speech, sound);
        first.push_back(start.shown);
        firstSamples.push_back(start.samples);
        later.push_back(startOnce(dir.path(), speech, sound).shown);
    }
    report("first start (seeds the databases)", first, 600);
    report("  and all sample recordings made", firstSamples, 3000);
    report("later start (existing databases)", later, 300);
    return 0;
}
