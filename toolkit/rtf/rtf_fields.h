#pragma once
// Field instructions ({\*\fldinst ...}) as far as a page shows them: hyperlinks.

#include <QString>
#include <QStringView>

namespace rtf {

// Link target of a field instruction, or the empty text when the field is not a hyperlink.
//   HYPERLINK "http://host/x"           -> http://host/x
//   HYPERLINK \l "intro"                -> #intro        (an anchor in the same page)
//   HYPERLINK "file.rtf" \l "intro"     -> file.rtf#intro
// Switches \o and \t take their argument and are otherwise ignored; a backslash escapes the
// next character inside quotes. A HYPERLINK with neither target nor location is no link.
QString fieldLinkTarget(QStringView instruction);

} // namespace rtf
