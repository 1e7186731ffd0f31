#include "flowcheck.h"

#include "flowfacts.h"
#include "rules.h"

#include <algorithm>

namespace checker {

QList<Problem> checkFlow(const FlowFacts &facts, const CheckTarget &target)
{
    struct Ranked
    {
        int place; // -1 the flow, then the node's order, then the rows left out
        Problem problem;
    };
    std::vector<Ranked> ranked;
    const int afterNodes = int(facts.nodes.size());
    for (const Rule &rule : rules()) {
        if (rule.uses != 0 && (rule.uses & target.uses) == 0)
            continue;
        Findings found;
        rule.find(facts, found);
        for (Findings::Finding &f : found.items) {
            f.problem.rule = QString::fromLatin1(rule.id);
            f.problem.severity = rule.severity;
            const int place = f.node ? facts.orderOf(f.node)
                                     : (f.problem.leftOut ? afterNodes : -1);
            ranked.push_back({place, std::move(f.problem)});
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked &a, const Ranked &b) { return a.place < b.place; });
    QList<Problem> problems;
    problems.reserve(qsizetype(ranked.size()));
    for (Ranked &r : ranked)
        problems.append(std::move(r.problem));
    return problems;
}

} // namespace checker
