#pragma once

#include "checker/problem.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QTreeWidget;

namespace problems {

// The problems of the flow, one a line: severity, the node's key and text, and what is
// wrong. Double-clicking a line (or Enter on it) asks for its node to be shown. The panel
// only shows what it is given; the target chooser tells for which target it is wanted.
class ProblemsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ProblemsPanel(QWidget *parent = nullptr);

    void showProblems(const QList<checker::Problem> &problems);
    const QList<checker::Problem> &problems() const { return m_problems; }

    // The generation target the list is for; empty for every target.
    QString target() const;
    void setTarget(const QString &name);

Q_SIGNALS:
    void problemActivated(const checker::Problem &problem);
    void targetChosen(const QString &name);

private:
    QList<checker::Problem> m_problems;
    QLabel *m_summary = nullptr;
    QComboBox *m_target = nullptr;
    QTreeWidget *m_list = nullptr;
};

} // namespace problems
