#pragma once

#include <QString>
#include <QStringList>

namespace codegen {

// Every generated line goes through one sink. Emitters hand lines over in the case in
// which they hold them; the sink alone lower-cases them, ends them with CR LF and encodes
// them, so no emitter can forget one of the three.
class LineSink
{
public:
    virtual ~LineSink() = default;
    virtual void writeCodeLine(const QString &line) = 0;
};

// Keeps the lines in memory, already lower-cased, for tests and for callers that write
// the page themselves.
class MemoryLineSink final : public LineSink
{
public:
    void writeCodeLine(const QString &line) override { m_lines.append(line.toLower()); }
    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    QStringList m_lines;
};

} // namespace codegen
