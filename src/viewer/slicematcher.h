#pragma once

#include <QStringView>

#include <vector>

namespace viewer {

// Finds, for every position of a text, the longest of a set of words that ends there
// (Aho-Corasick), in time linear in the text and the total length of the words. The words
// are slices of the text they are matched against.
class SliceMatcher final
{
public:
    explicit SliceMatcher(QStringView text);

    // Adds text[start, start + length); empty words are ignored.
    void addSlice(qsizetype start, qsizetype length);
    bool isEmpty() const { return m_wordCount == 0; }

    // longest[i]: length of the longest added word ending at position i of the text, 0 when
    // none does.
    std::vector<qsizetype> longestEndingAt();

private:
    struct Node
    {
        qsizetype depth = 0;
        int fail = 0;
        qsizetype longestWord = 0; // longest added word that is a suffix of this node
        bool terminal = false;
    };

    static quint64 edgeKey(int node, char16_t ch) { return (quint64(node) << 16) | ch; }
    int child(int node, char16_t ch) const;
    void addEdge(int node, char16_t ch, int target);
    std::size_t slotOf(quint64 key) const;
    void build();

    QStringView m_text;
    std::vector<Node> m_nodes;
    // Edges in an open-addressing table (power-of-two size, linear probing), as the lookup
    // is the inner loop of matching. Keys are stored plus one, so 0 marks an empty slot.
    std::vector<quint64> m_edgeKeys;
    std::vector<int> m_edgeTargets;
    std::size_t m_edgeCount = 0;
    bool m_built = false;
    qsizetype m_wordCount = 0;
};

} // namespace viewer
