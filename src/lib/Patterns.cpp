#include "Patterns.h"

#include "ListSeparator.h"
#include "WildcardMatcher.h"

namespace kelvane {

TPatterns::TPatterns(QString listName)
    : ListName(std::move(listName))
{
}

void TPatterns::Assign(const TPatterns& source)
{
    ListName = source.ListName;
    FPatterns = source.FPatterns;
    Changed();
}

QString TPatterns::ApplyWildcardRule(const QString& pattern) const
{
    if (AutoWildcard && !pattern.isEmpty() && !pattern.contains(QLatin1Char('*'))
        && !pattern.contains(QLatin1Char('?')))
        return QLatin1Char('*') + pattern + QLatin1Char('*');
    return pattern;
}

int TPatterns::Add(const QString& pattern)
{
    if (pattern.isEmpty())
        return Count();
    FPatterns.append(ApplyWildcardRule(pattern).toUpper());
    Changed();
    return Count() - 1;
}

void TPatterns::Insert(int index, const QString& pattern)
{
    FPatterns.insert(qBound(0, index, Count()), ApplyWildcardRule(pattern));
    Changed();
}

void TPatterns::Clear()
{
    FPatterns.clear();
    Changed();
}

void TPatterns::Changed()
{
    FUpperUtf8.clear();
    FUpperUtf8.reserve(size_t(FPatterns.size()));
    for (const QString& p : FPatterns)
        FUpperUtf8.push_back(p.toUpper().toStdString());
    FIsEmpty = FPatterns.isEmpty();
    FMatchesAll = FPatterns.size() == 1 && FPatterns.front() == QStringLiteral("*");
}

bool TPatterns::Matches(std::string_view utf8Name) const
{
    if (FMatchesAll)
        return true;
    for (const std::string& p : FUpperUtf8)
        if (WildcardMatch(p, utf8Name))
            return true;
    return false;
}

bool TPatterns::Matches(const QString& name) const
{
    if (FMatchesAll)
        return true;
    if (FIsEmpty)
        return false;
    const QByteArray utf8 = name.toUtf8();
    return Matches(std::string_view(utf8.constData(), size_t(utf8.size())));
}

QString TPatterns::FindMatch(const QString& name) const
{
    const QByteArray utf8 = name.toUtf8();
    const std::string_view n(utf8.constData(), size_t(utf8.size()));
    for (size_t i = 0; i < FUpperUtf8.size(); ++i)
        if (WildcardMatch(FUpperUtf8[i], n))
            return FPatterns[qsizetype(i)];
    return {};
}

void TPatterns::SetPatternArray(const QStringList& patterns)
{
    FPatterns.clear();
    for (const QString& p : patterns)
        if (!p.isEmpty())
            FPatterns.append(ApplyWildcardRule(p).toUpper());
    Changed();
}

void TPatterns::SetPatternsText(const QString& text)
{
    const QChar sep = ListSeparator();
    QString t = text;
    t.replace(QLatin1Char(','), sep).replace(QLatin1Char(';'), sep).replace(QLatin1Char('\t'), sep);
    FPatterns.clear();
    for (const QString& part : t.split(sep)) {
        const QString p = part.trimmed();
        if (!p.isEmpty())
            FPatterns.append(ApplyWildcardRule(p).toUpper());
    }
    Changed();
}

QString TPatterns::GetPatternsText() const
{
    QString result;
    for (const QString& p : FPatterns)
        result += p + QLatin1Char(' ');
    return result;
}

TKVPPatterns::TKVPPatterns(QString listName, bool emptyTextMatchesAll)
    : TPatterns(std::move(listName))
    , EmptyTextMatchesAll(emptyTextMatchesAll)
{
}

void TKVPPatterns::SetPatternsText(const QString& text)
{
    QString t = text;
    const QChar sep = ListSeparator();
    t.replace(QLatin1Char(','), QLatin1Char(' ')).replace(QLatin1Char(';'), QLatin1Char(' ')).replace(sep, QLatin1Char(' '));
    QStringList parts;
    for (const QString& part : t.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        if (!p.isEmpty())
            parts.append(p);
    }
    if (parts.isEmpty() && EmptyTextMatchesAll)
        parts.append(QStringLiteral("*"));
    SetPatternArray(parts);
}

} // namespace kelvane
