#pragma once

// A line-by-line transcription of the viewer's original colouring routines, kept as the
// yardstick that the fast colouring is checked and timed against. It drives a simulated
// rich-text box the way the original drove the real one: the text is read afresh from the
// box at every step and each match is selected and recoloured. It departs in two points,
// both faults of the original: positions are wide (the block passes held them in 16 bits
// and failed past 32,767 characters), and a block pass stops when no opening delimiter is
// left (the original took the missing position as 0 and coloured the text from the second
// character up to the next closing delimiter, a javascript block for instance). `literal`
// restores the second fault, to show what it did.

#include <QRgb>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

namespace reference {

class RichTextBox
{
public:
    explicit RichTextBox(const QString &text)
        : m_text(text)
        , m_colours(std::size_t(text.size()), qRgb(0, 0, 0))
    {}

    // A fresh copy each time, as reading the control's Text property gives.
    QString text() const { return QString(m_text.constData(), m_text.size()); }
    void setSelStart(qsizetype start)
    {
        m_selStart = std::clamp<qsizetype>(start, 0, m_text.size());
    }
    void setSelLength(qsizetype length)
    {
        m_selLength = std::clamp<qsizetype>(length, 0, m_text.size() - m_selStart);
    }
    void setSelColor(QRgb colour)
    {
        for (qsizetype i = m_selStart; i < m_selStart + m_selLength; ++i)
            m_colours[std::size_t(i)] = colour;
    }
    const std::vector<QRgb> &colours() const { return m_colours; }

private:
    QString m_text;
    std::vector<QRgb> m_colours;
    qsizetype m_selStart = 0;
    qsizetype m_selLength = 0;
};

// InStr(start, string1, string2): 1-based, 0 when absent; an empty string2 gives start.
inline qsizetype inStr(qsizetype start, const QString &string1, const QString &string2)
{
    if (start > string1.size())
        return 0;
    if (string2.isEmpty())
        return start;
    const qsizetype found = string1.indexOf(string2, start - 1);
    return found < 0 ? 0 : found + 1;
}

// Mid(string, start, length), 1-based.
inline QString mid(const QString &string, qsizetype start, qsizetype length)
{
    return string.mid(start - 1, length);
}

// Trim: removes leading and trailing spaces only.
inline QString trim(const QString &string)
{
    qsizetype first = 0;
    qsizetype last = string.size();
    while (first < last && string[first] == u' ')
        ++first;
    while (last > first && string[last - 1] == u' ')
        --last;
    return string.mid(first, last - first);
}

// colourValue: the colour table, looked up after trimming and lower-casing.
inline QRgb colourValue(const QString &colourName)
{
    const QString name = colourName.trimmed().toLower();
    if (name == u"red")
        return qRgb(255, 0, 0);
    if (name == u"blue")
        return qRgb(0, 0, 255);
    if (name == u"brown")
        return qRgb(255, 0, 255);
    if (name == u"dark yellow")
        return qRgb(128, 128, 0);
    if (name == u"dark green")
        return qRgb(0, 128, 0);
    if (name == u"dark cyan")
        return qRgb(0, 128, 128);
    return qRgb(0, 0, 0);
}

// The keyword table, row by row: colour name, then its keywords in order.
inline const QList<std::pair<QString, QStringList>> &keywordTable()
{
    static const QList<std::pair<QString, QStringList>> table{
        {QStringLiteral("brown"),
         {"<html", "<title", "<td", "<tr", "<body", "<table", "<head", "<p", "<a", "<td",
          "<meta", "<link"}},
        {QStringLiteral("brown"),
         {"/html", "/title", "/td", "/tr", "/body", "/table", "/head", "/p", "/a", "/td"}},
        {QStringLiteral("red"),
         {"type=", "width=", "height=", "href=", "align=", "cellpadding=", "cellspacing=",
          "border=", "bordercolor=", "valign=", "class=", "colspan=", "src=", "img alt=",
          "http-equiv=", "rel=", "vlink=", "content=", "alink=", "text=", "bgcolor=",
          "charset=", "link="}},
        {QStringLiteral("blue"), {"<", "<!", ">", "="}},
        {QStringLiteral("dark yellow"), {"<%", "%>"}},
        {QStringLiteral("blue"), {"content-type"}},
    };
    return table;
}

struct Colouring
{
    RichTextBox &rtfText;
    // Called after each keyword pass with the text Label4 shows, and with whether the
    // completion message box is shown there.
    std::function<void(const QString &label4, bool messageShown)> onPass;
    bool literal = false;
    int counter = 0;

    void colourWord(const QString &word, const QString &colourName)
    {
        qsizetype pos = 1;
        while (pos < rtfText.text().size()) {
            const QString part = mid(rtfText.text(), pos, rtfText.text().size());
            const qsizetype f = inStr(1, part, word);
            if (f == 0)
                break;
            pos = pos + f;
            rtfText.setSelStart(pos - 2);
            rtfText.setSelLength(word.size());
            rtfText.setSelColor(colourValue(colourName));
        }
    }

    void colourKeyword(const QString &word, const QString &colourName)
    {
        counter = counter + 1;
        const float progress = float(counter) / 52.0f * 100.0f;
        const QString label4 = QString::number(double(progress), 'g', 7) + u'%';
        colourWord(word, colourName);
        const bool messageShown = progress == 100.0f;
        if (onPass)
            onPass(label4, messageShown);
    }

    void colourBlocks(const QString &openDelimiter, const QString &closeDelimiter,
                      const QString &colourName)
    {
        qsizetype pos = 1;
        while (pos < rtfText.text().size()) {
            const qsizetype open = inStr(pos, rtfText.text(), openDelimiter);
            if (open == 0 && !literal)
                break;
            const qsizetype start = open + openDelimiter.size();
            const qsizetype end = inStr(pos, rtfText.text(), closeDelimiter);
            if (start >= end)
                break;
            const QString body = trim(mid(rtfText.text(), start, end - start));
            colourWord(body, colourName);
            pos = end + openDelimiter.size() + 1;
        }
    }

    void colourAspBlocks() { colourBlocks(QStringLiteral("<%"), QStringLiteral("%>"),
                                          QStringLiteral("dark green")); }
    void colourScriptBlocks()
    {
        colourBlocks(QStringLiteral("<script language=vbscript>"), QStringLiteral("</script>"),
                     QStringLiteral("dark cyan"));
    }

    void colourCode()
    {
        counter = 0;
        for (const auto &[colourName, keywords] : keywordTable()) {
            for (const QString &keyword : keywords)
                colourKeyword(keyword, colourName);
        }
        colourAspBlocks();
        colourScriptBlocks();
    }
};

// The final colours the original routines give `text`.
inline std::vector<QRgb> referenceColours(const QString &text)
{
    RichTextBox box(text);
    Colouring colouring{box, {}};
    colouring.colourCode();
    return box.colours();
}

} // namespace reference
