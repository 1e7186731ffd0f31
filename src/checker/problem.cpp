#include "problem.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace checker {

QString severityName(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QString formatLine(const Problem &problem)
{
    const QString where = problem.key.isEmpty() ? QStringLiteral("flow")
                                                : problem.key + u' ' + problem.text;
    return where + QStringLiteral(": ") + severityName(problem.severity) + QStringLiteral(": ")
           + problem.message;
}

QByteArray jsonLine(const Problem &problem)
{
    const QJsonObject object{
        {QStringLiteral("rule"), problem.rule},
        {QStringLiteral("severity"), severityName(problem.severity)},
        {QStringLiteral("key"), problem.key},
        {QStringLiteral("text"), problem.text},
        {QStringLiteral("column"), problem.column},
        {QStringLiteral("leftOut"), problem.leftOut},
        {QStringLiteral("message"), problem.message},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

qsizetype countOf(const QList<Problem> &problems, Severity severity)
{
    return std::count_if(problems.begin(), problems.end(),
                         [severity](const Problem &p) { return p.severity == severity; });
}

} // namespace checker
