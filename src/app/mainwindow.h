#pragma once

#include "runningindicator.h"
#include "services.h"

#include "checker/problem.h"
#include "codegen/generationtarget.h"
#include "model/currentflow.h"
#include "model/flowtree.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace editor {
class FlowEditor;
}
namespace properties {
class PropertyGrid;
class WaveList;
}
namespace members {
class MemberForm;
}
namespace viewer {
class CodeViewer;
}
namespace call {
class Clock;
}
namespace callpanel {
class MicrophoneRecorder;
class TestCallPanel;
} // namespace callpanel
namespace diagram {
class DiagramPanel;
}
namespace problems {
class ProblemsPanel;
}

namespace app {

class AboutBox;
class CheckController;
class SpeechController;

// The designer window (bldtree): hosts the palette and flow tree, the property grid, the
// wave list, the member section and the code viewer, and owns the commands that span
// them (generation, the flow-command switches, the status indicator).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The version comes from the project's, as in the About box and the package.
    static QString title()
    {
        return QStringLiteral("Dialwright - Telephony Code Generator version " DW_VERSION);
    }

    explicit MainWindow(const Services &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Form_Load: the start-up steps in their order. Problems with the application folder
    // or a database are reported once, in one message, and start-up goes on without them.
    void startUp();

    // Opens a flow database given to the program, as Load Flow does once a file is chosen.
    void openFlowFile(const QString &path);

    void enableFlowButtons();
    void disableFlowButtons();

    // Command1_Click / the generation menu items: 0 "wteWave", 1 "wteTTS", 2 "callxml",
    // 3 "TTS" (narration).
    void generateCommand(int index);
    // Generates after the check for the target, which asks first when it finds errors.
    void generate(codegen::GenerationTarget target);
    // Check Flow: the problems of the flow in the panel below the tree.
    void checkFlow();
    codegen::GenerationTarget target() const { return m_target; }

    model::FlowTree &tree() { return m_tree; }
    model::CurrentFlow &currentFlow() { return m_current; }
    SpeechController *speechController() const { return m_speech; }

    // Places for the panels other features bring: a page beside the designer and the code
    // viewer (its index is returned), and a panel under the flow tree.
    int addPage(QWidget *page, const QString &caption);
    void addBelowTree(QWidget *panel, int stretch = 0);

    // Timer1_Timer, callable directly by tests.
    void timerTick();

protected:
    // Asks what to do with unsaved changes first; Cancel keeps the window open.
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void wireCommands();
    void showAbout();
    void setFlowCommandsEnabled(bool enabled);
    // Double-click on a problem: its node in the tree and its property in the grid.
    void showProblem(const checker::Problem &problem);
    // The caption as asked for, marked while the flow has unsaved changes.
    void setCaption(const QString &caption);
    void updateEditActions();
    // Shows the properties of the node shown again, as the tree holds it now; unless
    // `always`, only when it has moved.
    void reloadShownNode(bool always);
    // After an undo or a redo: the panels that read the table show what it holds now.
    void followStep();

    Services m_services;
    model::FlowTree m_tree;
    model::CurrentFlow m_current;
    codegen::GenerationTarget m_target = codegen::GenerationTarget::WteTts;
    RunningIndicator m_indicator;

    QTabWidget *m_tabs = nullptr;
    editor::FlowEditor *m_editor = nullptr;
    properties::PropertyGrid *m_grid = nullptr;
    properties::WaveList *m_waves = nullptr;
    members::MemberForm *m_members = nullptr;
    viewer::CodeViewer *m_viewer = nullptr;
    call::Clock *m_clock = nullptr;
    callpanel::MicrophoneRecorder *m_microphone = nullptr;
    callpanel::TestCallPanel *m_testCall = nullptr;
    diagram::DiagramPanel *m_diagram = nullptr;
    problems::ProblemsPanel *m_problems = nullptr;
    CheckController *m_check = nullptr;
    SpeechController *m_speech = nullptr;
    QLabel *m_description = nullptr;
    QLabel *m_statusPanel = nullptr;
    QLabel *m_statusNotice = nullptr;
    QTimer *m_timer = nullptr;
    QList<QPushButton *> m_generateButtons;
    QPushButton *m_voiceXml = nullptr;
    QPushButton *m_checkFlow = nullptr;
    QPushButton *m_soundButton = nullptr;
    QPushButton *m_playWave = nullptr;
    QPushButton *m_playText = nullptr;
    QAction *m_soundOn = nullptr;
    QAction *m_soundOff = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QPointer<AboutBox> m_about;
};

} // namespace app
