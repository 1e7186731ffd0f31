#pragma once

#include <QString>

// Values written into an XML document (the VoiceXML targets): whatever a node's properties
// hold, the document stays well-formed and the value reads back as it was, except for the
// characters XML cannot carry at all (most control characters, unpaired surrogates,
// U+FFFE and U+FFFF), which are left out.
namespace codegen::xmltext {

// Character data: "&", "<" and ">" escaped, a carriage return as a reference so that it
// survives line-end normalisation.
QString text(const QString &value);
// An attribute value between double quotes: as text() and also the double quote, tab
// and line feed, which attribute normalisation would otherwise turn into blanks.
QString attribute(const QString &value);
// The inside of a comment: "--" cannot occur in one, nor can it end with "-".
QString comment(const QString &value);
// A relative URI path segment: everything but the unreserved characters percent-encoded
// as UTF-8, so that blanks, quotes and non-Latin letters make a valid address.
QString uriSegment(const QString &value);

} // namespace codegen::xmltext
