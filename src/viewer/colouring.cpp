#include "colouring.h"

#include "slicematcher.h"

#include <array>

namespace viewer {

namespace {

constexpr std::array<KeywordPass, kKeywordPassCount> kPasses{{
    {"brown", "<html"},        {"brown", "<title"},       {"brown", "<td"},
    {"brown", "<tr"},          {"brown", "<body"},        {"brown", "<table"},
    {"brown", "<head"},        {"brown", "<p"},           {"brown", "<a"},
    {"brown", "<td"},          {"brown", "<meta"},        {"brown", "<link"},
    {"brown", "/html"},        {"brown", "/title"},       {"brown", "/td"},
    {"brown", "/tr"},          {"brown", "/body"},        {"brown", "/table"},
    {"brown", "/head"},        {"brown", "/p"},           {"brown", "/a"},
    {"brown", "/td"},          {"red", "type="},          {"red", "width="},
    {"red", "height="},        {"red", "href="},          {"red", "align="},
    {"red", "cellpadding="},   {"red", "cellspacing="},   {"red", "border="},
    {"red", "bordercolor="},   {"red", "valign="},        {"red", "class="},
    {"red", "colspan="},       {"red", "src="},           {"red", "img alt="},
    {"red", "http-equiv="},    {"red", "rel="},           {"red", "vlink="},
    {"red", "content="},       {"red", "alink="},         {"red", "text="},
    {"red", "bgcolor="},       {"red", "charset="},       {"red", "link="},
    {"blue", "<"},             {"blue", "<!"},            {"blue", ">"},
    {"blue", "="},             {"dark yellow", "<%"},     {"dark yellow", "%>"},
    {"blue", "content-type"},
}};

struct BlockKind
{
    QStringView open;
    QStringView close;
    Colour colour;
};

constexpr BlockKind kAspBlocks{u"<%", u"%>", Colour::DarkGreen};
constexpr BlockKind kScriptBlocks{u"<script language=vbscript>", u"</script>", Colour::DarkCyan};

// The next occurrence of a needle at or after a position, remembering the last answer so
// that asking again from further on does not search the same stretch twice.
class NextOccurrence
{
public:
    NextOccurrence(QStringView text, QStringView needle)
        : m_text(text)
        , m_needle(needle)
    {}

    qsizetype at(qsizetype from)
    {
        if (m_searchedFrom < 0 || from < m_searchedFrom || (m_found >= 0 && m_found < from)) {
            m_found = m_text.indexOf(m_needle, from);
            m_searchedFrom = from;
        }
        return m_found;
    }

private:
    QStringView m_text;
    QStringView m_needle;
    qsizetype m_searchedFrom = -1;
    qsizetype m_found = -1;
};

bool isBlank(QChar ch)
{
    return ch == u' ';
}

// Colours the bodies of one kind of block. The walk over the blocks keeps the pass's own
// 1-based positions so that its odd corners stay as they are: the search resumes the
// opening delimiter's length (not the closing one's) past each closing delimiter, so a block
// opened right after that may be passed over. It stops when no opening delimiter is left;
// reading "no opener" as position 0 would take the text from the second character to the
// next closing delimiter as a body, and colour, say, a javascript block.
void colourBlocks(QStringView text, const BlockKind &kind, std::vector<Colour> &colours)
{
    const qsizetype length = text.size();
    const qsizetype openLength = kind.open.size();
    NextOccurrence nextOpen(text, kind.open);
    NextOccurrence nextClose(text, kind.close);
    SliceMatcher bodies(text);

    qsizetype pos = 1;
    while (pos < length) {
        const qsizetype open = nextOpen.at(pos - 1);
        if (open < 0)
            break;
        const qsizetype start = open + 1 + openLength;
        const qsizetype close = nextClose.at(pos - 1);
        const qsizetype end = close < 0 ? 0 : close + 1;
        if (start >= end)
            break;
        qsizetype first = start - 1;
        qsizetype last = end - 1;
        while (first < last && isBlank(text[first]))
            ++first;
        while (last > first && isBlank(text[last - 1]))
            --last;
        bodies.addSlice(first, last - first);
        pos = end + openLength + 1;
    }
    if (bodies.isEmpty())
        return;

    std::vector<qsizetype> longest = bodies.longestEndingAt();
    // A one-character body is not found at the last position when the character before it
    // is the same (see occurrenceStarts); longer bodies ending there always are.
    if (length >= 2 && longest.back() == 1 && text[length - 2] == text[length - 1])
        longest.back() = 0;

    // Right to left: a character is covered when some occurrence ending at or after it
    // starts at or before it.
    qsizetype lowestStart = length;
    for (qsizetype i = length - 1; i >= 0; --i) {
        const qsizetype wordLength = longest[std::size_t(i)];
        if (wordLength > 0)
            lowestStart = std::min(lowestStart, i - wordLength + 1);
        if (lowestStart <= i)
            colours[std::size_t(i)] = kind.colour;
    }
}

// Finds the occurrences of all keywords in one scan: at each position only the keywords
// that begin with the character there are tried. A character's final keyword colour is that
// of the last pass whose keyword covers it, so the scan keeps the highest pass number seen.
class KeywordScanner
{
public:
    KeywordScanner()
    {
        for (int pass = 0; pass < kKeywordPassCount; ++pass) {
            const auto first = static_cast<unsigned char>(kPasses[std::size_t(pass)].keyword[0]);
            m_byFirstCharacter[first].push_back(pass);
            m_colours[std::size_t(pass)] =
                colourFromName(QString::fromLatin1(kPasses[std::size_t(pass)].colourName));
        }
    }

    Colour colour(int pass) const { return m_colours[std::size_t(pass)]; }

    // Marks in lastPass the keyword occurrences that begin in [from, to).
    void scan(QStringView text, qsizetype from, qsizetype to, std::vector<qint8> &lastPass) const
    {
        const qsizetype length = text.size();
        for (qsizetype pos = from; pos < to; ++pos) {
            const char16_t ch = text[pos].unicode();
            if (ch >= 128)
                continue;
            for (const int pass : m_byFirstCharacter[ch]) {
                const char *keyword = kPasses[std::size_t(pass)].keyword;
                qsizetype i = 1;
                while (keyword[i] && pos + i < length
                       && text[pos + i].unicode() == char16_t(keyword[i])) {
                    ++i;
                }
                if (keyword[i])
                    continue;
                // A one-character keyword at the very end is not found after the same
                // character (see occurrenceStarts).
                if (i == 1 && pos == length - 1 && text[pos - 1] == text[pos])
                    continue;
                for (qsizetype k = pos; k < pos + i; ++k)
                    lastPass[std::size_t(k)] = std::max(lastPass[std::size_t(k)], qint8(pass));
            }
        }
    }

private:
    std::array<std::vector<int>, 128> m_byFirstCharacter;
    std::array<Colour, kKeywordPassCount> m_colours{};
};

} // namespace

Colour colourFromName(const QString &name)
{
    const QString key = name.trimmed().toLower();
    if (key == u"red")
        return Colour::Red;
    if (key == u"blue")
        return Colour::Blue;
    if (key == u"brown")
        return Colour::Brown;
    if (key == u"dark yellow")
        return Colour::DarkYellow;
    if (key == u"dark green")
        return Colour::DarkGreen;
    if (key == u"dark cyan")
        return Colour::DarkCyan;
    return Colour::Black;
}

QRgb rgb(Colour colour)
{
    switch (colour) {
    case Colour::Black:
        return qRgb(0, 0, 0);
    case Colour::Red:
        return qRgb(255, 0, 0);
    case Colour::Blue:
        return qRgb(0, 0, 255);
    case Colour::Brown:
        return qRgb(255, 0, 255);
    case Colour::DarkYellow:
        return qRgb(128, 128, 0);
    case Colour::DarkGreen:
        return qRgb(0, 128, 0);
    case Colour::DarkCyan:
        return qRgb(0, 128, 128);
    }
    return qRgb(0, 0, 0);
}

QRgb colourValue(const QString &name)
{
    return rgb(colourFromName(name));
}

std::span<const KeywordPass> keywordPasses()
{
    return kPasses;
}

std::vector<qsizetype> occurrenceStarts(QStringView text, QStringView word)
{
    std::vector<qsizetype> starts;
    if (word.isEmpty())
        return starts;
    qsizetype from = 0;
    while (from < text.size() - 1) {
        const qsizetype found = text.indexOf(word, from);
        if (found < 0)
            break;
        starts.push_back(found);
        from = found + 1;
    }
    return starts;
}

std::vector<Colour> computeColours(QStringView text, const PassCallback &afterPass)
{
    static const KeywordScanner scanner;
    const qsizetype length = text.size();
    std::vector<qint8> lastPass(std::size_t(length), qint8(-1));
    // The scan goes in 52 slices, so that the progress of the passes follows the work done.
    for (int slice = 0; slice < kKeywordPassCount; ++slice) {
        if (length >= 2) {
            scanner.scan(text, length * slice / kKeywordPassCount,
                         length * (slice + 1) / kKeywordPassCount, lastPass);
        }
        if (afterPass)
            afterPass(slice + 1);
    }
    std::vector<Colour> colours(std::size_t(length), Colour::Black);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (lastPass[i] >= 0)
            colours[i] = scanner.colour(lastPass[i]);
    }
    colourBlocks(text, kAspBlocks, colours);
    colourBlocks(text, kScriptBlocks, colours);
    return colours;
}

bool isVoiceXmlFile(const QString &filePath)
{
    return filePath.endsWith(QLatin1String(".vxml"), Qt::CaseInsensitive);
}

std::vector<Colour> computeMarkupColours(QStringView text, const PassCallback &afterPass)
{
    std::vector<Colour> colours = computeColours(text, afterPass);
    const qsizetype length = text.size();
    auto isNameChar = [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u':';
    };
    auto paint = [&colours](qsizetype from, qsizetype to, Colour colour) {
        for (qsizetype i = from; i < to; ++i)
            colours[std::size_t(i)] = colour;
    };
    qsizetype i = 0;
    while (i < length) {
        if (text.mid(i).startsWith(u"<!--")) {
            const qsizetype end = text.indexOf(u"-->", i + 4);
            i = end < 0 ? length : end + 3;
            continue;
        }
        const qsizetype name = i + 1 + (i + 1 < length && text[i + 1] == u'/');
        if (text[i] != u'<' || name >= length || !text[name].isLetter()) {
            ++i;
            continue;
        }
        qsizetype j = name;
        while (j < length && isNameChar(text[j]))
            ++j;
        paint(i + 1, j, Colour::Brown);
        // The attributes up to the end of the tag; a quoted value is skipped whole.
        while (j < length && text[j] != u'>' && text[j] != u'<') {
            if (text[j] == u'"' || text[j] == u'\'') {
                const qsizetype close = text.indexOf(text[j], j + 1);
                j = close < 0 ? length : close + 1;
            } else if (text[j].isLetter() && text[j - 1].isSpace()) {
                qsizetype k = j;
                while (k < length && isNameChar(text[k]))
                    ++k;
                qsizetype equals = k;
                while (equals < length && text[equals].isSpace())
                    ++equals;
                if (equals < length && text[equals] == u'=')
                    paint(j, k, Colour::Red);
                j = k;
            } else {
                ++j;
            }
        }
        i = j;
    }
    return colours;
}

std::vector<ColourRun> colourRuns(const std::vector<Colour> &colours)
{
    std::vector<ColourRun> runs;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (runs.empty() || runs.back().colour != colours[i])
            runs.push_back({qsizetype(i), 0, colours[i]});
        ++runs.back().length;
    }
    return runs;
}

float progressPercent(int passesDone)
{
    return float(passesDone) / float(kKeywordPassCount) * 100.0f;
}

QString progressText(int passesDone)
{
    // Seven significant digits and no trailing zeros, as single-precision values read.
    return QString::number(double(progressPercent(passesDone)), 'g', 7) + u'%';
}

} // namespace viewer
