#include "WildcardMatcher.h"

#include <QString>
#include <QStringView>

namespace kelvane {
namespace {

template <typename Char, typename Fold>
bool MatchRange(const Char* p, const Char* pEnd, const Char* n, const Char* nEnd, Fold fold)
{
    const Char* starP = nullptr;
    const Char* starN = nullptr;
    while (n != nEnd) {
        if (p != pEnd && *p == Char('*')) {
            while (p != pEnd && *p == Char('*'))
                ++p;
            if (p == pEnd)
                return true;
            starP = p;
            starN = n;
        } else if (p != pEnd && (*p == Char('?') || fold(*p) == fold(*n))) {
            ++p;
            ++n;
        } else if (starP) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p != pEnd && *p == Char('*'))
        ++p;
    return p == pEnd;
}

inline char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

bool IsAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool MatchOnce(std::string_view pattern, std::string_view name)
{
    if (IsAscii(name) && IsAscii(pattern))
        return MatchRange(pattern.data(), pattern.data() + pattern.size(), name.data(),
                          name.data() + name.size(), AsciiUpper);
    const QString p = QString::fromUtf8(pattern.data(), qsizetype(pattern.size())).toCaseFolded();
    const QString n = QString::fromUtf8(name.data(), qsizetype(name.size())).toCaseFolded();
    return MatchRange(p.constData(), p.constData() + p.size(), n.constData(), n.constData() + n.size(),
                      [](QChar c) { return c; });
}

} // namespace

bool WildcardMatch(std::string_view upperPattern, std::string_view name)
{
    if (MatchOnce(upperPattern, name))
        return true;
    // "name.*" also matches "name": the extension part may be missing entirely.
    if (upperPattern.size() >= 2 && upperPattern.substr(upperPattern.size() - 2) == ".*"
        && name.find('.') == std::string_view::npos)
        return MatchOnce(upperPattern.substr(0, upperPattern.size() - 2), name);
    return false;
}

} // namespace kelvane
