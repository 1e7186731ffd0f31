#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>

namespace codegen {

// Generated pages are written from fixed line templates held as constexpr raw strings.
//
// The mini-language: a template is one or more lines separated by '\n' (a newline right at
// the start and one right at the end are ignored, so a raw string may open and close on
// lines of its own). «name» stands for the value named, a name being letters,
// digits and underscores; every other character, leading and trailing blanks included, is
// part of the line. Values are inserted as they are and never scanned again, so a value may
// hold "«" or any markup. Every placeholder must be given a value and every value must be
// used by the template: anything else is a programming error.
struct TemplateValue
{
    QStringView name;
    QString value;
};

// The template's lines with the values filled in. A missing or unused value asserts in a
// debug build; with `problems` given it is reported there instead (one sentence each) and
// a missing value leaves the placeholder as written.
QStringList fill(QStringView templateText, std::initializer_list<TemplateValue> values = {},
                 QStringList *problems = nullptr);

// The single line of a one-line template (sentences, single page lines).
QString fillLine(QStringView templateText, std::initializer_list<TemplateValue> values = {});

} // namespace codegen
