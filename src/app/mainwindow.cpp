#include "mainwindow.h"

#include "aboutbox.h"
#include "checkcontroller.h"
#include "flowfileactions.h"
#include "speechcontroller.h"

#include "call/qtclock.h"
#include "callpanel/microphonerecorder.h"
#include "callpanel/testcallpanel.h"
#include "codegen/generator.h"
#include "codegen/narrator.h"
#include "diagram/diagrampanel.h"
#include "editor/floweditor.h"
#include "history/flowhistory.h"
#include "members/memberform.h"
#include "model/appdata.h"
#include "problems/problemspanel.h"
#include "properties/propertygrid.h"
#include "properties/samplevoices.h"
#include "properties/wavelist.h"
#include "ui/userprompts.h"
#include "viewer/codeviewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace app {

using codegen::GenerationTarget;

namespace {
// Hands the narration's sentences to the speech controller as the walk reaches them.
class SpeakingNarrator final : public codegen::Narrator
{
public:
    explicit SpeakingNarrator(SpeechController &speech)
        : m_speech(speech)
    {
    }
    void speakText(const QString &sentence) override { m_speech.speakText(sentence); }

private:
    SpeechController &m_speech;
};

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent,
                        int index = -1)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (index >= 0)
        button->setProperty("index", index);
    return button;
}

// The checker's findings as the diagram marks them: every problem at a node of the tree (the
// diagram shows a node's worst).
QList<diagram::NodeSeverity> diagramMarks(const QList<checker::Problem> &problems)
{
    QList<diagram::NodeSeverity> marks;
    for (const checker::Problem &p : problems) {
        if (!p.key.isEmpty() && !p.leftOut)
            marks.append({p.key, p.severity == checker::Severity::Error
                                     ? diagram::Severity::Error
                                     : diagram::Severity::Warning});
    }
    return marks;
}

QLabel *makeLabel(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}
} // namespace

MainWindow::MainWindow(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("bldtree"));
    buildControls();
    buildMenus();
    wireCommands();
    qApp->installEventFilter(this);

    // The indicator runs from the start, whatever start-up does.
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(720);
    connect(m_timer, &QTimer::timeout, this, &MainWindow::timerTick);
    m_timer->start();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    if (m_about)
        m_about->close();
    // The panels observe m_tree and read m_current: they must go before those members do,
    // not later with the base class.
    delete m_check;
    delete m_tabs;
}

void MainWindow::buildControls()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    setCentralWidget(m_tabs);

    auto *designer = new QWidget(m_tabs);
    designer->setObjectName(QStringLiteral("designerTab"));
    m_editor = new editor::FlowEditor(m_tree, m_current, m_services.appDir, m_services.prompts, designer);
    m_grid = new properties::PropertyGrid(m_current, m_services.prompts, designer);
    m_waves = new properties::WaveList(m_services.appDir, m_services.sound, designer);
    m_members = new members::MemberForm(m_services.appDir, m_services.prompts, m_services.sound, designer);
    m_description = makeLabel(QStringLiteral("Label1"), QString(), designer);
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(40);
    m_description->setFrameShape(QFrame::StyledPanel);

    const QStringList generateCaptions{QStringLiteral("Create Wave Wte Code"),
                                       QStringLiteral("Create TTS Wte Code"),
                                       QStringLiteral("Create CallXML Code"),
                                       QStringLiteral("Voice the application to be generated")};
    auto *commands = new QWidget(designer);
    auto *commandLayout = new QGridLayout(commands);
    commandLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < generateCaptions.size(); ++i) {
        QPushButton *b = makeButton(QStringLiteral("Command1"), generateCaptions[i], commands, i);
        m_generateButtons << b;
        commandLayout->addWidget(b, i / 2, i % 2);
    }
    m_generateButtons[3]->setToolTip(QStringLiteral("This will speak the call flow"));
    m_voiceXml = makeButton(QStringLiteral("Command2"), QStringLiteral("Create Voicexml Code"), commands);
    commandLayout->addWidget(m_voiceXml, 2, 0);
    m_checkFlow =
        makeButton(QStringLiteral("cmdCheckFlow"), QStringLiteral("Check Flow"), commands);
    m_checkFlow->setToolTip(QStringLiteral("List the problems of the call flow (F7)"));
    commandLayout->addWidget(m_checkFlow, 2, 1);
    m_playWave = makeButton(QStringLiteral("PlayWave"), QStringLiteral("Play Wave File"), commands);
    m_playWave->setToolTip(QStringLiteral("This will play the wave file"));
    m_playText = makeButton(QStringLiteral("Playtext"), QStringLiteral("Play TTS File"), commands);
    m_playText->setToolTip(QStringLiteral("This will play the text file"));
    commandLayout->addWidget(m_playWave, 3, 0);
    commandLayout->addWidget(m_playText, 3, 1);
    m_soundButton = makeButton(QStringLiteral("Command4"), QStringLiteral("Play Sound On"), commands);
    commandLayout->addWidget(makeLabel(QStringLiteral("Label9"), QStringLiteral("Sound On/Off"), commands), 4, 0);
    commandLayout->addWidget(m_soundButton, 4, 1);

    auto *middle = new QVBoxLayout;
    middle->addWidget(m_description);
    middle->addWidget(m_grid, 1);
    middle->addWidget(commands);
    auto *right = new QVBoxLayout;
    right->addWidget(m_members);
    right->addWidget(m_waves, 1);
    // The tree and the grid share the extra width; the members and wave files keep theirs.
    auto *layout = new QHBoxLayout(designer);
    layout->addWidget(m_editor, 1);
    layout->addLayout(middle, 1);
    layout->addLayout(right, 0);
    m_tabs->addTab(designer, QStringLiteral("Call Flow Designer"));
    // Below the tree once a check has something to show.
    m_problems = new problems::ProblemsPanel(designer);
    m_problems->hide();
    addBelowTree(m_problems, 1);
    m_check = new CheckController(m_tree, m_current, m_services.appDir, m_services.prompts,
                                  *m_problems, this);

    m_viewer = new viewer::CodeViewer(m_services.prompts, m_tabs);
    m_tabs->addTab(m_viewer, QStringLiteral("Generated Code"));

    m_clock = new call::QtClock(this);
    m_microphone = new callpanel::MicrophoneRecorder(this);
    m_testCall = new callpanel::TestCallPanel(m_tree, m_current, m_services.appDir,
                                              m_services.speech, m_services.sound, *m_clock,
                                              m_microphone, [this] { return m_speech->soundOn(); },
                                              m_tabs);
    m_testCall->setObjectName(QStringLiteral("testCallTab"));
    m_tabs->addTab(m_testCall, QStringLiteral("Test Call"));
    m_diagram = new diagram::DiagramPanel(m_tree, m_current, m_services.prompts, m_tabs);
    addPage(m_diagram, QStringLiteral("Diagram"));

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusPanel = makeLabel(QStringLiteral("sbStatusBarPanel1"), QString(), status);
    m_statusPanel->setMinimumWidth(140);
    status->addWidget(m_statusPanel);
    // Notices go to a panel of their own, so that they never hide the indicator.
    m_statusNotice = makeLabel(QStringLiteral("sbStatusBarPanel2"), QString(), status);
    status->addWidget(m_statusNotice, 1);
    setStatusBar(status);

    m_speech = new SpeechController(m_services.appDir, m_services.speech, m_services.sound, this);
    // As large as the designer was drawn, but never larger than the screen.
    resize(QSize(1200, 760).boundedTo(screen()->availableGeometry().size()));
}

void MainWindow::buildMenus()
{
    auto action = [this](QMenu *menu, const QString &name, const QString &caption) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("Call F&low"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(action(file, QStringLiteral("mnuFileNew"), QStringLiteral("&New")), &QAction::triggered,
            m_editor, &editor::FlowEditor::createNew);
    connect(action(file, QStringLiteral("mnuFileLoad"), QStringLiteral("&Load")), &QAction::triggered,
            m_editor, &editor::FlowEditor::loadFlow);
    connect(action(file, QStringLiteral("mnuFileClear"), QStringLiteral("&Clear")), &QAction::triggered,
            m_editor, &editor::FlowEditor::clearFlow);
    connect(action(file, QStringLiteral("mnuFilSave"), QStringLiteral("&Save")), &QAction::triggered,
            m_editor, &editor::FlowEditor::saveToTable);
    connect(action(file, QStringLiteral("mnuCut"), QStringLiteral("C&ut")), &QAction::triggered,
            m_editor, &editor::FlowEditor::removeNode);
    connect(action(file, QStringLiteral("mnuExportDiagram"), QStringLiteral("&Export Diagram...")),
            &QAction::triggered, m_diagram, &diagram::DiagramPanel::exportDiagram);
    QAction *check = action(file, QStringLiteral("mnuCheckFlow"), QStringLiteral("C&heck Flow"));
    check->setShortcut(Qt::Key_F7);
    connect(check, &QAction::triggered, this, &MainWindow::checkFlow);
    file->addSeparator();
    const auto flowFile = [this](QString (FlowFileActions::*command)()) {
        FlowFileActions actions(*m_editor, m_tree, m_current, m_services.prompts,
                                m_services.appDir);
        if (const QString done = (actions.*command)(); !done.isEmpty())
            m_statusNotice->setText(done);
    };
    connect(action(file, QStringLiteral("mnuExportFlow"), QStringLiteral("Export &Flow...")),
            &QAction::triggered, this, [flowFile] { flowFile(&FlowFileActions::exportFlow); });
    connect(action(file, QStringLiteral("mnuImportFlow"), QStringLiteral("&Import Flow...")),
            &QAction::triggered, this, [flowFile] { flowFile(&FlowFileActions::importFlow); });

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = action(edit, QStringLiteral("mnuUndo"), QStringLiteral("&Undo"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = action(edit, QStringLiteral("mnuRedo"), QStringLiteral("&Redo"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                          QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // A value still being typed in the grid becomes a step of its own first.
    connect(m_undo, &QAction::triggered, this, [this] {
        if (m_grid->commitEdit())
            m_editor->undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (m_grid->commitEdit())
            m_editor->redo();
    });
    updateEditActions();

    QMenu *generate = menuBar()->addMenu(QStringLiteral("&Generate Code"));
    generate->setObjectName(QStringLiteral("mnuFileGenerate"));
    connect(action(generate, QStringLiteral("mnuWteWave"), QStringLiteral("&WteWave")),
            &QAction::triggered, this, [this] { this->generate(GenerationTarget::WteWave); });
    connect(action(generate, QStringLiteral("mnuWteTTS"), QStringLiteral("Wte&TTS")),
            &QAction::triggered, this, [this] { this->generate(GenerationTarget::WteTts); });
    connect(action(generate, QStringLiteral("mnuCallXml"), QStringLiteral("Call&xml")),
            &QAction::triggered, this, [this] { this->generate(GenerationTarget::CallXml); });
    connect(action(generate, QStringLiteral("mnuVoiceXml"), QStringLiteral("&VoiceXml")),
            &QAction::triggered, this, [this] { this->generate(GenerationTarget::Vxml); });

    QMenu *sound = menuBar()->addMenu(QStringLiteral("Soun&d"));
    sound->setObjectName(QStringLiteral("mnuSound"));
    m_soundOn = action(sound, QStringLiteral("mnuSoundOn"), QStringLiteral("Sound On"));
    m_soundOff = action(sound, QStringLiteral("mnuSoundOff"), QStringLiteral("Sound Off"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(action(help, QStringLiteral("mnuAbout"), QStringLiteral("&About")), &QAction::triggered,
            this, &MainWindow::showAbout);
}

void MainWindow::wireCommands()
{
    for (QPushButton *b : std::as_const(m_generateButtons)) {
        const int index = b->property("index").toInt();
        connect(b, &QPushButton::clicked, this, [this, index] { generateCommand(index); });
    }
    connect(m_voiceXml, &QPushButton::clicked, this,
            [this] { generate(GenerationTarget::Vxml); });
    connect(m_checkFlow, &QPushButton::clicked, this, &MainWindow::checkFlow);
    connect(m_problems, &problems::ProblemsPanel::problemActivated, this,
            &MainWindow::showProblem);
    // A shown check follows the edits, in the list and on the diagram's boxes.
    connect(m_check, &CheckController::problemsChanged, this,
            [this](const QList<checker::Problem> &problems) {
                m_problems->show();
                m_diagram->showSeverities(diagramMarks(problems));
            });
    connect(m_grid, &properties::PropertyGrid::valuesWritten, m_check,
            &CheckController::flowChanged);
    m_speech->attach(m_playText, m_generateButtons[3], m_playWave, m_soundButton, m_soundOn,
                     m_soundOff, m_grid);
    connect(m_speech, &SpeechController::statusMessage, this,
            [this](const QString &text) { m_statusNotice->setText(text); });

    connect(m_editor, &editor::FlowEditor::descriptionChanged, m_description, &QLabel::setText);
    connect(m_editor, &editor::FlowEditor::flowCommandsEnabled, this, &MainWindow::enableFlowButtons);
    m_editor->setLeaveCheck([this] { return m_grid->commitEdit(); });
    connect(m_editor, &editor::FlowEditor::nodeSelected, this, [this](const model::NodeIdentity &node) {
        m_grid->loadNode(node);
        m_speech->playNodeVoiceFile();
    });
    connect(m_viewer, &viewer::CodeViewer::windowCaptionRequested, this,
            &MainWindow::setCaption);

    // Property edits are kept for undoing as every other change of the flow.
    m_grid->setWriter([this](const model::NodeIdentity &node, const model::ColumnValues &values,
                             QString *error) {
        return m_editor->editProperties(node, values, error);
    });
    history::FlowHistory &history = m_editor->history();
    connect(&history, &history::FlowHistory::stepsChanged, this, [this] {
        updateEditActions();
        // Edits go on into the row of the node shown, wherever it was dropped.
        reloadShownNode(false);
    });
    connect(&history, &history::FlowHistory::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&history, &history::FlowHistory::stepped, this, &MainWindow::followStep);
    connect(m_testCall, &callpanel::TestCallPanel::nodeRun, m_editor,
            &editor::FlowEditor::highlightNode);
    // The diagram marks the tree's selection and the test call's node, and shows edited
    // properties; a click on a box selects its node.
    connect(m_diagram, &diagram::DiagramPanel::nodeClicked, this,
            [this](const QString &key) { m_editor->selectNodeAt(m_tree.findKey(key)); });
    connect(m_editor, &editor::FlowEditor::nodeSelected, m_diagram,
            [this](const model::NodeIdentity &node) { m_diagram->showSelectedNode(node.key); });
    connect(m_testCall, &callpanel::TestCallPanel::nodeRun, m_diagram,
            [this](model::FlowNode *node) {
                m_diagram->showCallNode(node ? node->key : QString());
            });
    connect(m_testCall, &callpanel::TestCallPanel::callEnded, m_diagram,
            [this] { m_diagram->showCallNode(QString()); });
    // A call into the voice mail changes members (attempts, passwords): show them as they
    // are now.
    connect(m_testCall, &callpanel::TestCallPanel::callEnded, m_members,
            &members::MemberForm::reloadMembers);
    connect(m_grid, &properties::PropertyGrid::valuesWritten, m_diagram,
            &diagram::DiagramPanel::refresh);
    // The call reads each node's properties once: an edited value ends it.
    connect(m_grid, &properties::PropertyGrid::valuesWritten, this,
            [this](const model::NodeIdentity &node) {
                m_testCall->endCall(QStringLiteral("The flow was changed while the call ran: "
                                                   "the properties of %1 %2 were edited.")
                                        .arg(node.key, node.text));
            });
}

void MainWindow::startUp()
{
    // 1., 2., 11. and the databases of 14.: the data layer's own start-up.
    const model::StartupReport report = model::initialiseData(m_services.appDir);
    m_editor->loadPalette();

    // 3.-13. From here on a failing step is passed over.
    m_tree.clear();
    disableFlowButtons();
    m_tabs->setCurrentIndex(0);
    m_speech->selectVoice();
    setCaption(title());
    m_members->openMembers();
    m_waves->populate();
    // Made in the background: a first start shows the window without waiting for them.
    if (!findChild<properties::SampleVoiceMaker *>()) {
        auto *samples = new properties::SampleVoiceMaker(m_services.appDir, QString(), this);
        connect(samples, &properties::SampleVoiceMaker::finished, this, [this, samples] {
            m_waves->populate();
            samples->deleteLater();
        });
        samples->start();
    }
    m_speech->setSoundOn(true);

    // 14. The default flow.
    if (report.flowOk)
        m_editor->loadDemoFlow();

    if (!report.problems.isEmpty()) {
        m_services.prompts.message(QStringLiteral("Dialwright started without some of its files:\n\n")
                                       + report.problems.join(u'\n'),
                                   ui::UserPrompts::Icon::Warning);
    }
}

void MainWindow::setFlowCommandsEnabled(bool enabled)
{
    m_editor->setFlowCommandsEnabled(enabled);
    for (QPushButton *b : std::as_const(m_generateButtons))
        b->setEnabled(enabled);
    m_voiceXml->setEnabled(enabled);
    m_checkFlow->setEnabled(enabled);
    m_playText->setEnabled(enabled);
}

void MainWindow::enableFlowButtons()
{
    setFlowCommandsEnabled(true);
}

void MainWindow::disableFlowButtons()
{
    setFlowCommandsEnabled(false);
}

void MainWindow::generateCommand(int index)
{
    static const GenerationTarget targets[] = {GenerationTarget::WteWave, GenerationTarget::WteTts,
                                               GenerationTarget::CallXml,
                                               GenerationTarget::Narration};
    if (index < 0 || index > 3)
        return;
    const GenerationTarget target = targets[index];
    // While speech runs, the narration button stops it.
    if (target == GenerationTarget::Narration && m_speech->isSpeaking()) {
        m_target = target;
        m_speech->stopSpeaking();
        return;
    }
    generate(target);
}

void MainWindow::generate(GenerationTarget target)
{
    m_target = target;
    if (!m_check->approveGeneration(codegen::targetName(target)))
        return;
    codegen::GenerationRequest request;
    request.target = target;
    request.appDir = m_services.appDir;
    request.databasePath = m_current.databasePath;
    request.table = m_current.table;
    SpeakingNarrator narrator(*m_speech);
    const codegen::GenerationResult result =
        codegen::generate(m_tree, request,
                          target == GenerationTarget::Narration ? &narrator : nullptr);
    if (!result.ok) {
        m_services.prompts.message(result.error, ui::UserPrompts::Icon::Critical);
        return;
    }
    // Generated code holds the flow as it is now: changes before it are not taken back.
    m_editor->history().dropSteps();
    m_viewer->setCompletionMessage(codegen::completionMessage(target, result.remoteNeeded));
    if (target == GenerationTarget::Narration)
        return;
    m_tabs->setCurrentIndex(1);
    m_viewer->showGeneratedCode(result.mainFile);
}

void MainWindow::checkFlow()
{
    m_tabs->setCurrentIndex(0);
    m_check->checkFlow();
}

void MainWindow::showProblem(const checker::Problem &problem)
{
    // A row the load left out and the flow as a whole have no node to show.
    model::FlowNode *node = problem.leftOut ? nullptr : m_tree.findKey(problem.key);
    if (!node)
        return;
    m_editor->selectNodeAt(node);
    if (!problem.column.isEmpty())
        m_grid->showField(problem.column);
}

int MainWindow::addPage(QWidget *page, const QString &caption)
{
    return m_tabs->addTab(page, caption);
}

void MainWindow::addBelowTree(QWidget *panel, int stretch)
{
    m_editor->addBelowTree(panel, stretch);
}

void MainWindow::timerTick()
{
    m_statusPanel->setText(m_indicator.tick());
}

void MainWindow::openFlowFile(const QString &path)
{
    m_editor->loadFlowFile(path);
}

void MainWindow::showAbout()
{
    if (!m_about) {
        m_about = new AboutBox(m_services.appDir, this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::setCaption(const QString &caption)
{
    // Qt shows "*" in place of the mark while the window is modified.
    setWindowTitle(caption + QStringLiteral("[*]"));
}

void MainWindow::updateEditActions()
{
    const history::FlowHistory &history = m_editor->history();
    m_undo->setEnabled(history.canUndo());
    m_undo->setText(history.canUndo() ? QStringLiteral("&Undo %1").arg(history.undoText())
                                      : QStringLiteral("&Undo"));
    m_redo->setEnabled(history.canRedo());
    m_redo->setText(history.canRedo() ? QStringLiteral("&Redo %1").arg(history.redoText())
                                      : QStringLiteral("&Redo"));
}

void MainWindow::reloadShownNode(bool always)
{
    // Found by its key: a drop or a step may have given it another parent.
    const std::optional<model::NodeIdentity> shown = m_grid->node();
    const model::FlowNode *node = shown ? m_tree.findKey(shown->key) : nullptr;
    if (node && (always || model::NodeIdentity::of(*node) != *shown))
        m_grid->loadNode(model::NodeIdentity::of(*node));
}

void MainWindow::followStep()
{
    reloadShownNode(true);
    m_diagram->refresh();
    m_check->flowChanged();
    // Changes of the tree end a test call by themselves; those of properties do not.
    m_testCall->endCall(QStringLiteral("The flow was changed while the call ran: a change "
                                       "was undone or redone."));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_editor->settleUnsavedChanges())
        event->accept();
    else
        event->ignore();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_members->handleNavigationKey(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The record keys reach the member section first while the focus is in it, as its
    // boxes would otherwise take Home and End for themselves.
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && m_members->isAncestorOf(widget)) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (m_members->handleNavigationKey(key->key(), key->modifiers()))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace app
