#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class QProcess;

namespace properties {

// What ensureSampleVoices did.
struct SampleVoiceReport
{
    QStringList created;  // file names made in waves
    QStringList kept;     // sample names already present (the user's own files stay)
    QString problem;      // why some or all could not be made; empty when all are there
};

// The recordings the demonstration flow names, each with the sentence it says.
struct SampleVoice
{
    const char *fileName;
    const char *sentence;
};
const QList<SampleVoice> &sampleVoices();

// Speaks each missing sample recording into appDir/waves with espeak-ng, so that a new
// user hears the demonstration flow and the voice mail's system prompts. A file already in
// waves is never replaced. When espeak-ng is not installed nothing is made and the report
// says so. `program` names the synthesiser to run (default: espeak-ng found on the PATH).
//
// The sixty-odd recordings take a while on a first start, so the window lets them be made
// in the background: start() returns at once and finished() comes when all are done (also
// when nothing was to be made). Destroyed early, it stops its speakers and leaves no
// half-written file.
class SampleVoiceMaker final : public QObject
{
    Q_OBJECT
public:
    explicit SampleVoiceMaker(QString appDir, QString program = QString(),
                              QObject *parent = nullptr);
    ~SampleVoiceMaker() override;

    void start();
    bool isRunning() const;

signals:
    void finished(const properties::SampleVoiceReport &report);

private:
    struct Speaker
    {
        QString name;
        QProcess *process;
    };
    void speakNext();
    void done(QProcess *process, bool ran);
    void finishLater();

    QString m_appDir;
    QString m_program;
    QList<SampleVoice> m_missing;
    std::vector<Speaker> m_speakers;
    QStringList m_failed;
    SampleVoiceReport m_report;
    bool m_running = false;
};

// The same, waiting until all are made (for the command line and tests).
SampleVoiceReport ensureSampleVoices(const QString &appDir, const QString &program = QString());

} // namespace properties
