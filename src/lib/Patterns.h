#pragma once
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// A list of wildcard patterns that bare file and folder names are tested
// against (never paths). A name matches the list when it matches any pattern.
class TPatterns {
public:
    explicit TPatterns(QString listName = {});
    virtual ~TPatterns() = default;
    TPatterns(const TPatterns&) = default;
    TPatterns& operator=(const TPatterns&) = default;

    void Assign(const TPatterns& source);

    // Appends a pattern (upper-cased, auto-wildcarded); empty ones are ignored.
    int Add(const QString& pattern);
    // Inserts without upper-casing, as the list editors do.
    void Insert(int index, const QString& pattern);
    void Clear();

    bool Matches(std::string_view utf8Name) const;
    bool Matches(const QString& name) const;
    QString FindMatch(const QString& name) const;

    void SetPatternArray(const QStringList& patterns);
    virtual void SetPatternsText(const QString& text);
    QString GetPatternsText() const;

    const QStringList& Patterns() const { return FPatterns; }
    int Count() const { return int(FPatterns.size()); }
    bool MatchesAll() const { return FMatchesAll; }
    bool IsEmpty() const { return FIsEmpty; }

    QString ListName;
    bool AutoWildcard = true;

protected:
    QString ApplyWildcardRule(const QString& pattern) const;

private:
    void Changed();

    QStringList FPatterns;
    std::vector<std::string> FUpperUtf8; // what the matcher reads
    bool FMatchesAll = false;
    bool FIsEmpty = true;
};

// The program's variant: typed text splits at blanks too. For include lists
// an empty text gives the single pattern "*" so the list never ends up empty;
// exclude lists stay empty, since "*" there would exclude everything.
class TKVPPatterns : public TPatterns {
public:
    explicit TKVPPatterns(QString listName = {}, bool emptyTextMatchesAll = true);
    void SetPatternsText(const QString& text) override;

    bool EmptyTextMatchesAll = true;
};

} // namespace kelvane
