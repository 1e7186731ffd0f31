#include "slicematcher.h"

#include <algorithm>

namespace viewer {

SliceMatcher::SliceMatcher(QStringView text)
    : m_text(text)
{
    m_nodes.emplace_back(); // the root
}

std::size_t SliceMatcher::slotOf(quint64 key) const
{
    const std::size_t mask = m_edgeKeys.size() - 1;
    std::size_t slot = std::size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
    while (m_edgeKeys[slot] != 0 && m_edgeKeys[slot] != key + 1)
        slot = (slot + 1) & mask;
    return slot;
}

int SliceMatcher::child(int node, char16_t ch) const
{
    if (m_edgeKeys.empty())
        return -1;
    const std::size_t slot = slotOf(edgeKey(node, ch));
    return m_edgeKeys[slot] == 0 ? -1 : m_edgeTargets[slot];
}

void SliceMatcher::addEdge(int node, char16_t ch, int target)
{
    if (2 * (m_edgeCount + 1) > m_edgeKeys.size()) {
        // Grow to keep the table at most half full.
        std::vector<quint64> keys(std::max<std::size_t>(64, 2 * m_edgeKeys.size()), 0);
        std::vector<int> targets(keys.size(), -1);
        keys.swap(m_edgeKeys);
        targets.swap(m_edgeTargets);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] != 0) {
                const std::size_t slot = slotOf(keys[i] - 1);
                m_edgeKeys[slot] = keys[i];
                m_edgeTargets[slot] = targets[i];
            }
        }
    }
    const quint64 key = edgeKey(node, ch);
    const std::size_t slot = slotOf(key);
    m_edgeKeys[slot] = key + 1;
    m_edgeTargets[slot] = target;
    ++m_edgeCount;
}

void SliceMatcher::addSlice(qsizetype start, qsizetype length)
{
    if (length <= 0)
        return;
    int node = 0;
    for (qsizetype done = 0; done < length; ++done) {
        const char16_t ch = m_text[start + done].unicode();
        int next = child(node, ch);
        if (next < 0) {
            next = int(m_nodes.size());
            Node created;
            created.depth = m_nodes[node].depth + 1;
            m_nodes.push_back(created);
            addEdge(node, ch, next);
        }
        node = next;
    }
    if (!m_nodes[node].terminal) {
        m_nodes[node].terminal = true;
        ++m_wordCount;
    }
    m_built = false;
}

void SliceMatcher::build()
{
    // Breadth-first, so that every failure target is finished before it is used.
    std::vector<std::vector<std::pair<char16_t, int>>> children(m_nodes.size());
    for (std::size_t i = 0; i < m_edgeKeys.size(); ++i) {
        if (m_edgeKeys[i] != 0) {
            const quint64 key = m_edgeKeys[i] - 1;
            children[std::size_t(key >> 16)].emplace_back(char16_t(key & 0xffff),
                                                          m_edgeTargets[i]);
        }
    }

    std::vector<int> queue;
    queue.reserve(m_nodes.size());
    queue.push_back(0);
    m_nodes[0].fail = 0;
    m_nodes[0].longestWord = 0;
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const int parent = queue[head];
        for (const auto &[ch, node] : children[std::size_t(parent)]) {
            int fail = 0;
            if (parent != 0) {
                int f = m_nodes[parent].fail;
                for (;;) {
                    const int next = child(f, ch);
                    if (next >= 0) {
                        fail = next;
                        break;
                    }
                    if (f == 0)
                        break;
                    f = m_nodes[f].fail;
                }
            }
            Node &n = m_nodes[node];
            n.fail = fail;
            n.longestWord = n.terminal ? n.depth : m_nodes[fail].longestWord;
            queue.push_back(node);
        }
    }
    m_built = true;
}

std::vector<qsizetype> SliceMatcher::longestEndingAt()
{
    std::vector<qsizetype> longest(std::size_t(m_text.size()), 0);
    if (m_wordCount == 0)
        return longest;
    if (!m_built)
        build();
    int state = 0;
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const char16_t ch = m_text[i].unicode();
        for (;;) {
            const int next = child(state, ch);
            if (next >= 0) {
                state = next;
                break;
            }
            if (state == 0)
                break;
            state = m_nodes[state].fail;
        }
        longest[std::size_t(i)] = m_nodes[state].longestWord;
    }
    return longest;
}

} // namespace viewer
