#include "samplevoices.h"

#include "voicemail/systemprompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <memory>
#include <vector>

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

SampleVoiceReport ensureSampleVoices(const QString &appDir, const QString &program)
{
    SampleVoiceReport report;
    const QDir waves(QDir(appDir).filePath(QStringLiteral("waves")));
    if (!QFileInfo(waves.path()).isDir()) {
        report.problem = QStringLiteral("The folder %1 does not exist.")
                             .arg(QDir::toNativeSeparators(waves.path()));
        return report;
    }
    QList<SampleVoice> missing;
    for (const SampleVoice &voice : withSystemPrompts(sampleVoices())) {
        const QString name = QString::fromLatin1(voice.fileName);
        // Any entry of that name, even a folder or a dangling link, is the user's.
        if (QFileInfo::exists(waves.filePath(name)) || QFileInfo(waves.filePath(name)).isSymLink())
            report.kept << name;
        else
            missing << voice;
    }
    if (missing.isEmpty())
        return report;

    const QString synthesiser =
        program.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("espeak-ng")) : program;
    if (synthesiser.isEmpty() || !QFileInfo(synthesiser).isExecutable()) {
        report.problem = QStringLiteral("espeak-ng is not installed, so the sample recordings "
                                        "of the demonstration flow were not made.");
        return report;
    }

    QStringList failed;
    // A few are spoken at once: each run spends most of its time starting up, and the voice
    // mail's prompts make the list long.
    constexpr qsizetype kAtOnce = 8;
    for (qsizetype first = 0; first < missing.size(); first += kAtOnce) {
        const QList<SampleVoice> batch = missing.mid(first, kAtOnce);
        std::vector<std::unique_ptr<QProcess>> speakers;
        for (const SampleVoice &voice : batch) {
            const QString name = QString::fromLatin1(voice.fileName);
            // Spoken into a private name first, so that an interrupted run never leaves a
            // half-written file under a name the flow uses.
            const QString partial = waves.filePath(QStringLiteral(".%1.part").arg(name));
            QFile::remove(partial);
            auto speaker = std::make_unique<QProcess>();
            speaker->setProcessChannelMode(QProcess::MergedChannels);
            speaker->start(synthesiser, {QStringLiteral("-w"), partial,
                                         QString::fromLatin1(voice.sentence)});
            speakers.push_back(std::move(speaker));
        }
        for (qsizetype i = 0; i < batch.size(); ++i) {
            const QString name = QString::fromLatin1(batch.at(i).fileName);
            const QString target = waves.filePath(name);
            const QString partial = waves.filePath(QStringLiteral(".%1.part").arg(name));
            QProcess &speaker = *speakers.at(size_t(i));
            const bool finished = speaker.waitForStarted(5000) && speaker.waitForFinished(10000);
            if (!finished) {
                speaker.kill();
                speaker.waitForFinished(1000);
            }
            const bool made = finished && speaker.exitStatus() == QProcess::NormalExit
                              && speaker.exitCode() == 0 && QFileInfo(partial).size() > 44;
            // QFile::rename never replaces an existing file: a file the user put there in
            // the meantime wins.
            if (made && QFile::rename(partial, target)) {
                report.created << name;
            } else {
                QFile::remove(partial);
                if (QFileInfo::exists(target))
                    report.kept << name;
                else
                    failed << name;
            }
        }
    }
    if (!failed.isEmpty())
        report.problem = QStringLiteral("espeak-ng could not make %1.").arg(failed.join(u", "));
    return report;
}

} // namespace properties
