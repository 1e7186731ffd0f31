#pragma once

#include "call/callevent.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QTemporaryDir;
class QListWidget;
class QPushButton;

namespace call {
class CallSession;
class Clock;
class Recorder;
} // namespace call
namespace model {
class FlowTree;
struct CurrentFlow;
struct FlowNode;
} // namespace model
namespace speech {
class SoundPlayer;
class SpeechEngine;
} // namespace speech
namespace voicemail {
class SqlMemberDirectory;
class SystemClock;
class TestCallVoiceMail;
} // namespace voicemail

namespace callpanel {

// The "Test Call" tab: places a test call through the current flow as a caller would,
// with a telephone keypad (the keyboard's digits, * and # too), "No Input" to let the
// current wait run out at once, and the call's transcript, the line of the node being run
// highlighted. Prompts are spoken or played while the sound switch is on; without sound the
// call runs the same and the transcript says what would be heard. The window learns which
// node runs from nodeRun() and ends the call when something outside the tree changes the
// flow (endCall); changes of the tree end it by themselves. A call that reaches "process
// recorded messages" goes on in the voice mail, on the members and mailboxes of the
// application folder, or with "Restore" on a copy that the call leaves behind.
class TestCallPanel final : public QWidget
{
    Q_OBJECT
public:
    // `microphone` may be null. `soundOn` tells whether prompts may be heard now.
    TestCallPanel(model::FlowTree &tree, const model::CurrentFlow &current,
                  const QString &appDir, speech::SpeechEngine &speech,
                  speech::SoundPlayer &sound, call::Clock &clock, call::Recorder *microphone,
                  std::function<bool()> soundOn, QWidget *parent = nullptr);
    ~TestCallPanel() override;

    bool isCallRunning() const;
    // The transcript as shown, one line an event.
    QStringList transcript() const;

public Q_SLOTS:
    void startCall();
    void hangUp();
    void pressKey(QChar key);
    void noInput();
    // Ends a running call, the transcript saying why.
    void endCall(const QString &why);

Q_SIGNALS:
    // The call runs this node now.
    void nodeRun(model::FlowNode *node);
    void callStarted();
    void callEnded();

private:
    void onEvent(const call::CallEvent &event);
    void addLine(const QString &line, bool current = false);
    void play(const call::CallEvent &event);
    void updateControls();
    bool prepareVoiceMail();

    model::FlowTree &m_tree;
    const model::CurrentFlow &m_current;
    QString m_appDir;
    speech::SpeechEngine &m_speech;
    speech::SoundPlayer &m_sound;
    std::function<bool()> m_soundOn;
    call::CallSession *m_session = nullptr;
    std::unique_ptr<voicemail::SystemClock> m_wallClock;
    std::unique_ptr<QTemporaryDir> m_copy;
    std::unique_ptr<voicemail::SqlMemberDirectory> m_members;
    std::unique_ptr<voicemail::TestCallVoiceMail> m_voiceMail;

    QComboBox *m_flavour = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_hangUp = nullptr;
    QPushButton *m_noInput = nullptr;
    QPushButton *m_restore = nullptr;
    QList<QPushButton *> m_keypad;
    QListWidget *m_lines = nullptr;
    QLabel *m_status = nullptr;
    int m_currentLine = -1;
};

} // namespace callpanel
