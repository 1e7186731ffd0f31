#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QAction;

namespace properties {
class PropertyGrid;
}
namespace speech {
class SoundPlayer;
class SpeechEngine;
} // namespace speech

namespace app {

// Speech and wave playback as the designer's buttons show them: the prompt text of the
// selected node spoken on "Play TTS File", captions following the engine's start and end
// of speech, the selected node's voice file played on selection, and the sound switch.
// Without a speech engine or a sound device nothing is heard and statusMessage() says so
// once for each.
class SpeechController : public QObject
{
    Q_OBJECT
public:
    SpeechController(const QString &appDir, speech::SpeechEngine &speech,
                     speech::SoundPlayer &sound, QObject *parent = nullptr);

    // Connects the window's controls. Any of them may be null.
    void attach(QAbstractButton *playtext, QAbstractButton *narrationButton,
                QAbstractButton *playWave, QAbstractButton *command4, QAction *soundOn,
                QAction *soundOff, properties::PropertyGrid *grid);

    bool soundOn() const { return m_soundOn; }
    // The sound switch, with Command4's tooltip following it (mnuSoundOn/mnuSoundOff).
    void setSoundOn(bool on);
    // Command4: turns the switch over.
    void toggleSound();

    // Speaks a text, or a reminder when it is empty.
    void speakText(const QString &text);
    // Chooses the voice at start-up.
    void selectVoice();
    // Playtext: speaks the node's prompt text, or stops speech that is running.
    void playPromptText();
    // Plays the selected node's voice file on selection (see the caption rules in the
    // source); does nothing with the sound switched off.
    void playNodeVoiceFile();
    // A click on a property value: a file name ending in ".wav" is played when the sound
    // is on.
    void playFromGrid(const QString &cellText);

    // Between the engine's start and end of speech (the captions say "stop" meanwhile).
    bool isSpeaking() const;
    void stopSpeaking();

Q_SIGNALS:
    // For the status bar: speech or sound cannot work on this computer (once each).
    void statusMessage(const QString &text);

private:
    bool speechUsable();
    void showSpeaking(bool speaking);
    void setPlayWaveCaption(const char *caption);

    QString m_appDir;
    speech::SpeechEngine &m_speech;
    speech::SoundPlayer &m_sound;
    QPointer<QAbstractButton> m_playtext;
    QPointer<QAbstractButton> m_narration;
    QPointer<QAbstractButton> m_playWave;
    QPointer<QAbstractButton> m_command4;
    QPointer<properties::PropertyGrid> m_grid;
    bool m_soundOn = true;
    bool m_speechReported = false;
    bool m_soundReported = false;
    bool m_speaking = false;
    bool m_voiceFilesPlay = false; // false until the first node selection
};

} // namespace app
