#include "checkcontroller.h"

#include "checker/checktarget.h"
#include "checker/flowcheck.h"
#include "checker/flowfacts.h"
#include "model/currentflow.h"
#include "problems/problemspanel.h"
#include "ui/userprompts.h"

#include <QTimer>

namespace app {

CheckController::CheckController(model::FlowTree &tree, const model::CurrentFlow &current,
                                 const QString &appDir, ui::UserPrompts &prompts,
                                 problems::ProblemsPanel &panel, QObject *parent)
    : QObject(parent)
    , m_tree(&tree)
    , m_current(current)
    , m_appDir(appDir)
    , m_prompts(prompts)
    , m_panel(panel)
{
    m_tree->addObserver(this);
    // An edit often comes in bursts (a load, a drop): check once they are done.
    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(150);
    connect(m_refresh, &QTimer::timeout, this, &CheckController::refresh);
    connect(&m_panel, &problems::ProblemsPanel::targetChosen, this, &CheckController::checkFlow);
}

CheckController::~CheckController()
{
    if (m_tree)
        m_tree->removeObserver(this);
}

void CheckController::checkFlow()
{
    m_live = true;
    refresh();
}

void CheckController::flowChanged()
{
    if (m_live)
        m_refresh->start();
}

void CheckController::refresh()
{
    m_refresh->stop();
    if (!m_tree)
        return;
    const QString name = m_panel.target();
    const checker::CheckTarget target =
        name.isEmpty() ? checker::everyTarget() : checker::findTarget(name).value_or(
                                                      checker::everyTarget());
    const checker::FlowFacts facts = checker::gatherFacts(
        *m_tree, {m_appDir, m_current.databasePath, m_current.table});
    m_problems = checker::checkFlow(facts, target);
    m_panel.showProblems(m_problems);
    emit problemsChanged(m_problems);
}

bool CheckController::approveGeneration(const QString &target)
{
    m_panel.setTarget(target);
    checkFlow();
    const qsizetype errors = checker::countOf(m_problems, checker::Severity::Error);
    if (errors == 0)
        return true;
    const QString text =
        QStringLiteral("The check found %1 %2 for %3: a caller cannot get through the flow. "
                       "The problems are listed below the tree.\n\nGenerate the pages anyway?")
            .arg(errors)
            .arg(errors == 1 ? QStringLiteral("error") : QStringLiteral("errors"), target);
    return m_prompts.ask(text, ui::UserPrompts::Buttons::YesNo, ui::UserPrompts::Icon::Warning)
           == ui::UserPrompts::Answer::Yes;
}

} // namespace app
