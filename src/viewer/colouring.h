#pragma once

#include <QRgb>
#include <QString>
#include <QStringView>

#include <functional>
#include <span>
#include <vector>

// Syntax colouring of the code viewer, free of widgets.
//
// The viewer colours a page in passes: 52 keyword passes in a fixed order, each colouring
// every occurrence of its keyword (overlapping ones included), a later pass recolouring what
// an earlier one coloured; then the ASP-block pass and the client-script-block pass, which
// colour the trimmed body of each block wherever that body occurs in the whole text. Only
// the final colour of each character matters, so it is computed here in time linear in the
// text (one scan for all keywords, one for the bodies of each kind of block) instead of
// selecting and recolouring the editor match by match.
namespace viewer {

enum class Colour : quint8 { Black, Red, Blue, Brown, DarkYellow, DarkGreen, DarkCyan };

// The colour a colour name stands for: the name is trimmed and lower-cased; unknown names
// are black. ("brown" is magenta, as it has always been on screen.)
Colour colourFromName(const QString &name);
QRgb rgb(Colour colour);
QRgb colourValue(const QString &name);

struct KeywordPass
{
    const char *colourName;
    const char *keyword;
};

// The 52 keyword passes, in the order they are applied.
std::span<const KeywordPass> keywordPasses();
inline constexpr int kKeywordPassCount = 52;

// Start positions of the occurrences a pass colours for `word` in `text`: every occurrence,
// found by resuming one character after each match start, while the search start lies
// before the last character. So nothing is found in a text shorter than two characters,
// and a one-character word at the very end is skipped when the character before it is the
// same word ("a>>" gives only the first ">"). An empty word colours nothing.
std::vector<qsizetype> occurrenceStarts(QStringView text, QStringView word);

// Called 52 times in order with the number of keyword passes done (1 to 52), as the work
// advances.
using PassCallback = std::function<void(int passesDone)>;

// The final colour of every character of `text` after all passes.
std::vector<Colour> computeColours(QStringView text, const PassCallback &afterPass = {});

// A VoiceXML document (a .vxml file) is case-sensitive: the viewer shows it as written,
// never lower-cased, and colours it with computeMarkupColours.
bool isVoiceXmlFile(const QString &filePath);
// The passes' colours, and besides every tag and attribute name of the markup, which the
// keyword passes know only for HTML, coloured as those are: a tag name with its "/" brown,
// an attribute name red; brackets and "=" stay blue. Names in comments, in quoted values
// and in text are left alone.
std::vector<Colour> computeMarkupColours(QStringView text, const PassCallback &afterPass = {});

struct ColourRun
{
    qsizetype start = 0;
    qsizetype length = 0;
    Colour colour = Colour::Black;
};

// Maximal runs of one colour, in text order.
std::vector<ColourRun> colourRuns(const std::vector<Colour> &colours);

// Progress after `passesDone` keyword passes, in single precision as the progress bar
// holds it, and the percentage label's text ("1.923077%", ..., "50%", "100%").
float progressPercent(int passesDone);
QString progressText(int passesDone);

} // namespace viewer
