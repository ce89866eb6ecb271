#include "toolkit/rtf/rtf_fields.h"

namespace rtf {
namespace {

struct Scanner {
    QStringView text;
    qsizetype pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    QChar peek() const { return text[pos]; }
    void skipSpace()
    {
        while (!atEnd() && peek().isSpace())
            ++pos;
    }
};

// A quoted argument (quotes removed, backslash escapes resolved) or a bare word.
QString readArgument(Scanner& s)
{
    QString value;
    if (s.peek() == u'"') {
        ++s.pos;
        while (!s.atEnd() && s.peek() != u'"') {
            if (s.peek() == u'\\' && s.pos + 1 < s.text.size())
                ++s.pos;
            value.append(s.peek());
            ++s.pos;
        }
        if (!s.atEnd())
            ++s.pos;
        return value;
    }
    while (!s.atEnd() && !s.peek().isSpace()) {
        value.append(s.peek());
        ++s.pos;
    }
    return value;
}

} // namespace

QString fieldLinkTarget(QStringView instruction)
{
    Scanner s{instruction};
    s.skipSpace();
    const qsizetype start = s.pos;
    while (!s.atEnd() && s.peek().isLetter())
        ++s.pos;
    if (instruction.mid(start, s.pos - start).compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};

    QString target;
    QString location;
    bool haveTarget = false;
    for (;;) {
        s.skipSpace();
        if (s.atEnd())
            break;
        if (s.peek() == u'\\' && s.pos + 1 < instruction.size() && instruction[s.pos + 1].isLetter()) {
            const QChar name = instruction[s.pos + 1].toLower();
            s.pos += 2;
            if (name == u'l' || name == u'o' || name == u't') {
                s.skipSpace();
                if (s.atEnd())
                    break;
                QString argument = readArgument(s);
                if (name == u'l')
                    location = argument;
            }
            continue;
        }
        QString argument = readArgument(s);
        if (!haveTarget) {
            target = argument;
            haveTarget = true;
        }
    }
    if (location.isEmpty())
        return target;
    return target + u'#' + location;
}

} // namespace rtf
