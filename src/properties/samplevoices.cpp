#include "samplevoices.h"

#include "voicemail/systemprompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace properties {

const QList<SampleVoice> &sampleVoices()
{
    static const QList<SampleVoice> voices{
        {"defaultgreeting.wav", "Welcome. You have reached the voice mail system."},
        {"messagemenu1.wav", "The person you called is not available. Please leave a message."},
        {"menu.wav", "Press 1 to hear your messages. Press 2 to record a message."},
        {"messagemenu.wav",
         "Press 1 to hear the message, 2 to save it, 3 to delete it, 4 to record it again."},
        {"mainmessage.wav", "Please record your message after the tone. Press pound when done."},
        {"goodbye.wav", "Thank you for calling. Goodbye."},
        {"messagesaved.wav", "Your message has been saved."},
        {"messagedeleted.wav", "Your message has been deleted."},
        {"enterpw.wav", "Please enter your password, followed by the pound key."},
        {"entermb.wav", "Please enter your mailbox number, followed by the pound key."},
    };
    return voices;
}

namespace {
// The system prompts of the voice mail join the samples, so that a test call into the
// voice mail is heard too; a name the demonstration flow already has keeps its sentence.
QList<SampleVoice> withSystemPrompts(QList<SampleVoice> voices)
{
    for (const voicemail::SystemPrompt &prompt : voicemail::systemPrompts()) {
        const auto same = [&](const SampleVoice &v) {
            return qstrcmp(v.fileName, prompt.fileName) == 0;
        };
        if (std::none_of(voices.cbegin(), voices.cend(), same))
            voices.append(SampleVoice{prompt.fileName, prompt.sentence});
    }
    return voices;
}
} // namespace

namespace {
// A few are spoken at once: each run spends most of its time starting up, and the voice
// mail's prompts make the list long.
constexpr std::size_t kAtOnce = 8;
constexpr int kTimeoutMs = 10000;

QString partialPath(const QDir &waves, const QString &name)
{
    // Spoken into a private name first, so that an interrupted run never leaves a
    // half-written file under a name the flow uses.
    return waves.filePath(QStringLiteral(".%1.part").arg(name));
}
} // namespace

SampleVoiceMaker::SampleVoiceMaker(QString appDir, QString program, QObject *parent)
    : QObject(parent), m_appDir(std::move(appDir)), m_program(std::move(program))
{
}

SampleVoiceMaker::~SampleVoiceMaker()
{
    const QDir waves(QDir(m_appDir).filePath(QStringLiteral("waves")));
    for (const Speaker &speaker : m_speakers) {
        speaker.process->disconnect(this);
        speaker.process->kill();
        speaker.process->waitForFinished(1000);
        QFile::remove(partialPath(waves, speaker.name));
    }
}

bool SampleVoiceMaker::isRunning() const
{
    return m_running;
}

void SampleVoiceMaker::start()
{
    if (m_running)
        return;
    m_running = true;
    m_report = {};
    m_missing.clear();
    const QDir waves(QDir(m_appDir).filePath(QStringLiteral("waves")));
    if (!QFileInfo(waves.path()).isDir()) {
        m_report.problem = QStringLiteral("The folder %1 does not exist.")
                               .arg(QDir::toNativeSeparators(waves.path()));
        return finishLater();
    }
    for (const SampleVoice &voice : withSystemPrompts(sampleVoices())) {
        const QString name = QString::fromLatin1(voice.fileName);
        // Any entry of that name, even a folder or a dangling link, is the user's.
        if (QFileInfo::exists(waves.filePath(name)) || QFileInfo(waves.filePath(name)).isSymLink())
            m_report.kept << name;
        else
            m_missing << voice;
    }
    if (m_missing.isEmpty())
        return finishLater();
    if (m_program.isEmpty())
        m_program = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (m_program.isEmpty() || !QFileInfo(m_program).isExecutable()) {
        m_report.problem = QStringLiteral("espeak-ng is not installed, so the sample recordings "
                                          "of the demonstration flow were not made.");
        return finishLater();
    }
    speakNext();
}

void SampleVoiceMaker::speakNext()
{
    const QDir waves(QDir(m_appDir).filePath(QStringLiteral("waves")));
    while (m_speakers.size() < kAtOnce && !m_missing.isEmpty()) {
        const SampleVoice voice = m_missing.takeFirst();
        const QString name = QString::fromLatin1(voice.fileName);
        const QString partial = partialPath(waves, name);
        QFile::remove(partial);
        auto *process = new QProcess(this);
        process->setProcessChannelMode(QProcess::MergedChannels);
        connect(process, &QProcess::finished, this,
                [this, process](int code, QProcess::ExitStatus status) {
                    done(process, status == QProcess::NormalExit && code == 0);
                });
        connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                done(process, false);
        });
        QTimer::singleShot(kTimeoutMs, process, [process] { process->kill(); });
        m_speakers.push_back({name, process});
        process->start(m_program,
                       {QStringLiteral("-w"), partial, QString::fromLatin1(voice.sentence)});
    }
}

void SampleVoiceMaker::done(QProcess *process, bool ran)
{
    const auto it = std::find_if(m_speakers.begin(), m_speakers.end(),
                                 [process](const Speaker &s) { return s.process == process; });
    if (it == m_speakers.end())
        return;
    const QString name = it->name;
    m_speakers.erase(it);
    process->disconnect(this);
    process->deleteLater();

    const QDir waves(QDir(m_appDir).filePath(QStringLiteral("waves")));
    const QString target = waves.filePath(name);
    const QString partial = partialPath(waves, name);
    const bool made = ran && QFileInfo(partial).size() > 44;
    // QFile::rename never replaces an existing file: a file the user put there in the
    // meantime wins.
    if (made && QFile::rename(partial, target)) {
        m_report.created << name;
    } else {
        QFile::remove(partial);
        if (QFileInfo::exists(target))
            m_report.kept << name;
        else
            m_failed << name;
    }
    speakNext();
    if (m_speakers.empty())
        finishLater();
}

void SampleVoiceMaker::finishLater()
{
    // Always after start() has returned, so that a caller can connect and start in any order.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_failed.isEmpty())
                m_report.problem = QStringLiteral("espeak-ng could not make %1.")
                                       .arg(m_failed.join(u", "));
            m_failed.clear();
            m_running = false;
            emit finished(m_report);
        },
        Qt::QueuedConnection);
}

SampleVoiceReport ensureSampleVoices(const QString &appDir, const QString &program)
{
    SampleVoiceMaker maker(appDir, program);
    SampleVoiceReport report;
    QEventLoop loop;
    QObject::connect(&maker, &SampleVoiceMaker::finished, &loop,
                     [&](const SampleVoiceReport &made) {
                         report = made;
                         loop.quit();
                     });
    maker.start();
    loop.exec();
    return report;
}

} // namespace properties
