#include "testcallpanel.h"

#include "call/callsession.h"
#include "call/storevalues.h"
#include "call/transcript.h"
#include "model/currentflow.h"
#include "model/flowtree.h"
#include "speech/soundplayer.h"
#include "speech/speechengine.h"
#include "voicemail/clock.h"
#include "voicemail/mailboxworldcopy.h"
#include "voicemail/sqlmemberdirectory.h"
#include "voicemail/testcallvoicemail.h"

#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace callpanel {

namespace {

QString keyName(QChar key)
{
    if (key == u'*')
        return QStringLiteral("star");
    if (key == u'#')
        return QStringLiteral("hash");
    return key;
}

} // namespace

TestCallPanel::TestCallPanel(model::FlowTree &tree, const model::CurrentFlow &current,
                             const QString &appDir, speech::SpeechEngine &speech,
                             speech::SoundPlayer &sound, call::Clock &clock,
                             call::Recorder *microphone, std::function<bool()> soundOn,
                             QWidget *parent)
    : QWidget(parent)
    , m_tree(tree)
    , m_current(current)
    , m_appDir(appDir)
    , m_speech(speech)
    , m_sound(sound)
    , m_soundOn(std::move(soundOn))
    , m_session(new call::CallSession(tree, clock, microphone, this))
    , m_wallClock(std::make_unique<voicemail::SystemClock>())
{
    connect(m_session, &call::CallSession::event, this, &TestCallPanel::onEvent);

    m_flavour = new QComboBox(this);
    m_flavour->addItem(tr("Spoken prompts (TTS)"));
    m_flavour->addItem(tr("Voice files (wave)"));
    m_flavour->setAccessibleName(tr("Prompts"));
    m_start = new QPushButton(tr("Start Call"), this);
    m_hangUp = new QPushButton(tr("Hang Up"), this);
    m_noInput = new QPushButton(tr("No Input"), this);
    m_start->setAccessibleName(tr("Start Call"));
    m_hangUp->setAccessibleName(tr("Hang Up"));
    m_noInput->setAccessibleName(tr("No Input"));
    m_noInput->setToolTip(tr("Let the current wait time out now"));
    connect(m_start, &QPushButton::clicked, this, &TestCallPanel::startCall);
    connect(m_hangUp, &QPushButton::clicked, this, &TestCallPanel::hangUp);
    connect(m_noInput, &QPushButton::clicked, this, &TestCallPanel::noInput);
    m_restore = new QPushButton(tr("Restore"), this);
    m_restore->setCheckable(true);
    m_restore->setAccessibleName(tr("Restore"));
    m_restore->setToolTip(tr("Run the call on a copy of the members and mailboxes, so that the "
                             "application folder stays as it was"));

    auto *keypad = new QGridLayout;
    const QString keys = QStringLiteral("123456789*0#");
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar key = keys.at(i);
        auto *button = new QPushButton(key, this);
        button->setAccessibleName(tr("Key %1").arg(keyName(key)));
        button->setFocusPolicy(Qt::NoFocus); // the keyboard's keys stay with the panel
        connect(button, &QPushButton::clicked, this, [this, key] { pressKey(key); });
        keypad->addWidget(button, int(i / 3), int(i % 3));
        m_keypad << button;
        auto *shortcut = new QShortcut(QKeySequence(QString(key)), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, key] { pressKey(key); });
    }

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setAccessibleName(tr("Call status"));
    m_lines = new QListWidget(this);
    m_lines->setAccessibleName(tr("Transcript"));
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->setWordWrap(true);

    auto *controls = new QVBoxLayout;
    auto *flavourRow = new QHBoxLayout;
    auto *flavourLabel = new QLabel(tr("&Prompts:"), this);
    flavourLabel->setBuddy(m_flavour);
    flavourRow->addWidget(flavourLabel);
    flavourRow->addWidget(m_flavour, 1);
    controls->addLayout(flavourRow);
    auto *callRow = new QHBoxLayout;
    callRow->addWidget(m_start);
    callRow->addWidget(m_hangUp);
    callRow->addWidget(m_restore);
    controls->addLayout(callRow);
    controls->addLayout(keypad);
    controls->addWidget(m_noInput);
    controls->addStretch(1);
    auto *call = new QVBoxLayout;
    call->addWidget(m_status);
    call->addWidget(m_lines, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(call, 1);
    updateControls();
}

TestCallPanel::~TestCallPanel() = default;

bool TestCallPanel::isCallRunning() const
{
    return m_session->isRunning();
}

QStringList TestCallPanel::transcript() const
{
    QStringList lines;
    for (int i = 0; i < m_lines->count(); ++i)
        lines << m_lines->item(i)->text();
    return lines;
}

void TestCallPanel::updateControls()
{
    const bool running = isCallRunning();
    m_start->setEnabled(!running);
    m_flavour->setEnabled(!running);
    m_restore->setEnabled(!running);
    m_hangUp->setEnabled(running);
    m_noInput->setEnabled(running);
    for (QPushButton *b : std::as_const(m_keypad))
        b->setEnabled(running);
}

void TestCallPanel::addLine(const QString &line, bool current)
{
    m_lines->addItem(line);
    if (current) {
        if (QListWidgetItem *previous = m_lines->item(m_currentLine)) {
            QFont font = previous->font();
            font.setBold(false);
            previous->setFont(font);
        }
        m_currentLine = m_lines->count() - 1;
        QListWidgetItem *item = m_lines->item(m_currentLine);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
        m_lines->setCurrentItem(item);
    }
    m_lines->scrollToBottom();
}

void TestCallPanel::startCall()
{
    if (isCallRunning())
        return;
    m_speech.stop();
    m_sound.stop();
    m_lines->clear();
    m_currentLine = -1;
    if (!m_current.isSet()) {
        addLine(tr("No flow is loaded: load or create a flow first."));
        return;
    }
    auto values = std::make_unique<call::StoreValues>(m_current.databasePath, m_current.table);
    QString error;
    if (!values->isOpen(&error)) {
        addLine(tr("The flow database cannot be read: %1").arg(error));
        return;
    }
    const call::Flavour flavour = m_flavour->currentIndex() == 0 ? call::Flavour::Tts
                                                                 : call::Flavour::Wave;
    if (!m_soundOn())
        m_status->setText(tr("The sound is off: the transcript shows what would be heard."));
    else if (flavour == call::Flavour::Tts && !m_speech.isAvailable())
        m_status->setText(tr("No speech here: the transcript shows what would be heard."));
    else
        m_status->clear();
    if (!prepareVoiceMail())
        return;
    Q_EMIT callStarted();
    if (!m_session->start(std::move(values), flavour,
                          QDir(m_appDir).filePath(QStringLiteral("waves")), &error))
        addLine(error);
    updateControls();
    if (isCallRunning())
        setFocus(); // the keyboard's keys go to the call
}

// The voice mail of the call: the application folder's members and mailboxes, or a fresh
// copy of them when Restore is on.
bool TestCallPanel::prepareVoiceMail()
{
    m_session->setVoiceMail(nullptr);
    m_voiceMail.reset();
    m_members.reset();
    m_copy.reset();
    QString world = m_appDir;
    if (m_restore->isChecked()) {
        m_copy = std::make_unique<QTemporaryDir>();
        QString error;
        if (!m_copy->isValid() || !voicemail::copyMailboxWorld(m_appDir, m_copy->path(), &error)) {
            addLine(tr("No copy of the members and mailboxes for the call: %1")
                        .arg(error.isEmpty() ? m_copy->errorString() : error));
            return false;
        }
        world = m_copy->path();
    }
    m_members = std::make_unique<voicemail::SqlMemberDirectory>(world);
    m_voiceMail = std::make_unique<voicemail::TestCallVoiceMail>(
        world, QDir(m_appDir).filePath(QStringLiteral("waves")), *m_members, *m_wallClock);
    m_session->setVoiceMail(m_voiceMail.get());
    return true;
}

void TestCallPanel::hangUp()
{
    m_speech.stop();
    m_sound.stop();
    m_session->hangUp();
}

void TestCallPanel::pressKey(QChar key)
{
    m_session->key(key);
}

void TestCallPanel::noInput()
{
    m_session->noInput();
}

void TestCallPanel::endCall(const QString &why)
{
    if (!isCallRunning())
        return;
    m_speech.stop();
    m_sound.stop();
    m_session->end(why);
}

void TestCallPanel::play(const call::CallEvent &event)
{
    if (!m_soundOn())
        return;
    if (event.prompt == call::CallEvent::PromptKind::Speech) {
        if (m_speech.isAvailable())
            m_speech.say(event.text);
    } else {
        m_sound.play(event.path);
    }
}

void TestCallPanel::onEvent(const call::CallEvent &event)
{
    using Kind = call::CallEvent::Kind;
    addLine(call::transcript::textLine(event), event.kind == Kind::Node);
    switch (event.kind) {
    case Kind::Node:
        if (model::FlowNode *node = m_tree.findKey(event.nodeKey))
            Q_EMIT nodeRun(node);
        break;
    case Kind::Prompt:
        play(event);
        break;
    case Kind::Wait:
        m_status->setText(event.waitFor == call::CallEvent::WaitFor::Option
                              ? tr("Key an option, 1 to %1.").arg(event.options)
                              : tr("Key the entry%1.")
                                    .arg(event.terminator.isEmpty()
                                             ? QString()
                                             : tr(", then %1").arg(event.terminator)));
        break;
    case Kind::Record:
        m_status->setText(event.terminator.isEmpty()
                              ? tr("Recording: speak, then press No Input.")
                              : tr("Recording: speak, then key %1 or press No Input.")
                                    .arg(event.terminator));
        break;
    case Kind::End:
        m_status->setText(event.text);
        updateControls();
        Q_EMIT callEnded();
        break;
    default:
        break;
    }
}

} // namespace callpanel
