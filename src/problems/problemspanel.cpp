#include "problemspanel.h"

#include "checker/checktarget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace problems {

ProblemsPanel::ProblemsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("problemsPanel"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("problemsSummary"));
    m_target = new QComboBox(this);
    m_target->setObjectName(QStringLiteral("problemsTarget"));
    m_target->setAccessibleName(QStringLiteral("Check for target"));
    m_target->addItem(QStringLiteral("every target"), QString());
    for (const QString &name : checker::targetNames())
        m_target->addItem(name, name);
    auto *forLabel = new QLabel(QStringLiteral("Check &for:"), this);
    forLabel->setBuddy(m_target);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("problemsList"));
    m_list->setAccessibleName(QStringLiteral("Problems of the flow"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("Severity"), QStringLiteral("Node"),
                             QStringLiteral("Problem")});
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->setWordWrap(true);

    auto *top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(forLabel);
    top->addWidget(m_target);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);

    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        const int row = m_list->indexOfTopLevelItem(item);
        if (row >= 0 && row < m_problems.size())
            emit problemActivated(m_problems.at(row));
    });
    connect(m_target, &QComboBox::activated, this,
            [this] { emit targetChosen(target()); });
    showProblems({});
}

void ProblemsPanel::showProblems(const QList<checker::Problem> &problems)
{
    m_problems = problems;
    const int current = m_list->currentIndex().row();
    m_list->clear();
    const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const checker::Problem &p : problems) {
        const QString where = p.key.isEmpty() ? QStringLiteral("the flow")
                                              : p.key + u' ' + p.text
                                                    + (p.leftOut ? QStringLiteral(" (row)")
                                                                 : QString());
        auto *item = new QTreeWidgetItem(m_list, {checker::severityName(p.severity), where,
                                                  p.message});
        item->setIcon(0, p.severity == checker::Severity::Error ? error : warning);
        item->setToolTip(2, p.message);
    }
    // An edit refreshes the list: keep the place the user was looking at.
    if (current >= 0 && current < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(current));

    const qsizetype errors = checker::countOf(problems, checker::Severity::Error);
    const qsizetype warnings = checker::countOf(problems, checker::Severity::Warning);
    m_summary->setText(problems.isEmpty()
                           ? QStringLiteral("No problems found.")
                           : QStringLiteral("%1 %2, %3 %4")
                                 .arg(errors)
                                 .arg(errors == 1 ? QStringLiteral("error")
                                                  : QStringLiteral("errors"))
                                 .arg(warnings)
                                 .arg(warnings == 1 ? QStringLiteral("warning")
                                                    : QStringLiteral("warnings")));
}

QString ProblemsPanel::target() const
{
    return m_target->currentData().toString();
}

void ProblemsPanel::setTarget(const QString &name)
{
    const int index = m_target->findData(name);
    m_target->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace problems
