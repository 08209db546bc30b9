#include "lib/ListSeparator.h"
#include "lib/Patterns.h"
#include "lib/WildcardMatcher.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

struct TMatchCase {
    const char* Pattern;
    const char* Name;
    bool Matches;
};

void PrintTo(const TMatchCase& c, std::ostream* os)
{
    *os << '"' << c.Pattern << "\" vs \"" << c.Name << '"';
}

class WildcardMatching : public ::testing::TestWithParam<TMatchCase> {};

TEST_P(WildcardMatching, BehavesLikeTheFileManagerMatcher)
{
    const auto& c = GetParam();
    const QByteArray upper = QString::fromUtf8(c.Pattern).toUpper().toUtf8();
    EXPECT_EQ(WildcardMatch(upper.toStdString(), c.Name), c.Matches) << c.Pattern << " vs " << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WildcardMatching,
    ::testing::Values(TMatchCase{"*", "anything", true}, TMatchCase{"*", "", true},
                      TMatchCase{"*.*", "noextension", true}, TMatchCase{"*.*", "a.b.c", true},
                      TMatchCase{"*.*", ".bashrc", true}, TMatchCase{"*.tmp", "X.TMP", true},
                      TMatchCase{"*.tmp", "x.tmp.bak", false}, TMatchCase{"*.tmp", "tmp", false},
                      TMatchCase{"a?c", "abc", true}, TMatchCase{"a?c", "ac", false},
                      TMatchCase{"a?c", "abbc", false}, TMatchCase{"*TEMP*", "MyTemplate.doc", true},
                      TMatchCase{"[ab]*", "[ab]file", true}, TMatchCase{"[ab]*", "afile", false},
                      TMatchCase{"report.*", "report", true}, TMatchCase{"report.*", "report.pdf", true},
                      TMatchCase{"*a*b*c", "xxaxxbxxc", true}, TMatchCase{"*a*b*c", "xxaxxbxxcx", false},
                      TMatchCase{"GRÜSSE*", "grüsse.txt", true}, TMatchCase{"*ÄÖÜ", "xäöü", true},
                      TMatchCase{"????", "äbcd", true}, TMatchCase{"**.log", "a.log", true}));

TEST(Patterns, AutoWildcardAndUpperCase)
{
    TPatterns p(QStringLiteral("ExcludePatterns"));
    p.Add(QStringLiteral("temp"));
    p.Add(QStringLiteral("*.tmp"));
    p.Add(QString());
    EXPECT_EQ(p.Patterns(), (QStringList{"*TEMP*", "*.TMP"}));
    EXPECT_TRUE(p.Matches(QStringLiteral("MyTemplate.doc")));
    EXPECT_EQ(p.FindMatch(QStringLiteral("a.tmp")), QStringLiteral("*.TMP"));
    EXPECT_EQ(p.FindMatch(QStringLiteral("a.txt")), QString());
    p.Insert(0, QStringLiteral("keep"));
    EXPECT_EQ(p.Patterns().front(), QStringLiteral("*keep*")) << "inserting keeps the case";
}

TEST(Patterns, MatchesAllAndEmpty)
{
    TKVPPatterns include(QStringLiteral("IncludePatterns"));
    EXPECT_FALSE(include.Matches(QStringLiteral("x"))) << "an empty include list includes nothing";
    include.SetPatternArray({QStringLiteral("*")});
    EXPECT_TRUE(include.MatchesAll());
    include.SetPatternArray({QStringLiteral("*.*")});
    EXPECT_FALSE(include.MatchesAll()) << "*.* goes through the matcher";
    EXPECT_TRUE(include.Matches(QStringLiteral("Makefile")));

    TPatterns exclude;
    EXPECT_FALSE(exclude.Matches(QStringLiteral("x"))) << "an empty exclude list excludes nothing";
}

TEST(Patterns, TypedTextIsSplit)
{
    SetListSeparator(QChar(','));
    TKVPPatterns kvp;
    kvp.SetPatternsText(QStringLiteral("*.jpg; *.png,*.gif"));
    EXPECT_EQ(kvp.Patterns(), (QStringList{"*.JPG", "*.PNG", "*.GIF"}));
    kvp.SetPatternsText(QStringLiteral("my docs; *.bak"));
    EXPECT_EQ(kvp.Patterns(), (QStringList{"*MY*", "*DOCS*", "*.BAK"}));
    kvp.SetPatternsText(QString());
    EXPECT_EQ(kvp.Patterns(), QStringList{"*"});

    TKVPPatterns exclude(QStringLiteral("ExcludePatterns"), false);
    exclude.SetPatternsText(QStringLiteral("  "));
    EXPECT_TRUE(exclude.IsEmpty()) << "an exclude list from empty text must not exclude everything";

    TPatterns plain;
    plain.SetPatternsText(QStringLiteral("my docs; *.bak\t x "));
    EXPECT_EQ(plain.Patterns(), (QStringList{"*MY DOCS*", "*.BAK", "*X*"}));
    EXPECT_EQ(plain.GetPatternsText(), QStringLiteral("*MY DOCS* *.BAK *X* "));

    SetListSeparator(QChar('|'));
    kvp.SetPatternsText(QStringLiteral("a|b"));
    EXPECT_EQ(kvp.Patterns(), (QStringList{"*A*", "*B*"}));
    SetListSeparator(QChar(','));
}

TEST(Patterns, MatchesBytesOfNonUtf8Names)
{
    TPatterns p;
    p.Add(QStringLiteral("*.bin"));
    const char raw[] = "bad\xff\xfename.BIN";
    EXPECT_TRUE(p.Matches(std::string_view(raw)));
}

} // namespace
