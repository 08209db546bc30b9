#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace kelvane;
using P = TPostProcessInformation;

namespace {

TCommandLineContext FixedContext()
{
    TCommandLineContext c;
    c.Now = [] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); };
    c.PathExists = [](const QString& p) {
        return QStringList{"/data", "/tmp", "/p1", "/p2", "rel"}.contains(p);
    };
    c.IsOption = [](const QString& n) {
        return QStringList{"maximumthreads", "groupusers", "groupextensions", "media2\\includeheader"}.contains(n.toLower());
    };
    c.IsBooleanOption = [](const QString& n) {
        return QStringList{"groupusers", "groupextensions", "media2\\includeheader"}.contains(n.toLower());
    };
    return c;
}

TCommandLineRun Interpret(const QString& line)
{
    return InterpretCommandLine(line.split(QLatin1Char(' '), Qt::SkipEmptyParts), FixedContext());
}

TCommandStep Scan(const QString& path, uint16_t flags = 0, void (*fill)(P&) = nullptr)
{
    TCommandStep s;
    s.Kind = TCommandStep::ScanPath;
    s.Path = path;
    s.PostProcessing.Flags = flags;
    if (fill)
        fill(s.PostProcessing);
    return s;
}

TCommandStep Option(const QString& name, const QString& value)
{
    TCommandStep s;
    s.Kind = TCommandStep::SetOption;
    s.Name = name;
    s.Value = value;
    return s;
}

TCommandStep Export(uint16_t flag, void (*fill)(P&))
{
    TCommandStep s;
    s.Kind = TCommandStep::ExportNow;
    s.PostProcessing.Flags = flag;
    fill(s.PostProcessing);
    return s;
}

TCommandStep WithPath(TCommandStep::EKind kind, const QString& path)
{
    TCommandStep s;
    s.Kind = kind;
    s.Path = path;
    return s;
}

struct TStepsCase {
    const char* Line;
    QList<TCommandStep> Steps;
};

void PrintTo(const TStepsCase& c, std::ostream* os)
{
    *os << c.Line;
}

class CommandLineSteps : public ::testing::TestWithParam<TStepsCase> {};

TEST_P(CommandLineSteps, ProducesTheSteps)
{
    const auto& c = GetParam();
    const TCommandLineRun run = Interpret(QString::fromUtf8(c.Line));
    ASSERT_EQ(run.Steps.size(), c.Steps.size()) << c.Line;
    for (qsizetype i = 0; i < c.Steps.size(); ++i) {
        const TCommandStep& got = run.Steps[i];
        const TCommandStep& want = c.Steps[i];
        EXPECT_EQ(got.Kind, want.Kind) << c.Line << " step " << i;
        EXPECT_EQ(got.Path, want.Path) << c.Line << " step " << i;
        EXPECT_EQ(got.Name, want.Name) << c.Line << " step " << i;
        EXPECT_EQ(got.Value, want.Value) << c.Line << " step " << i;
        EXPECT_TRUE(got.PostProcessing == want.PostProcessing) << c.Line << " step " << i << " flags "
                                                                << got.PostProcessing.Flags;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineSteps,
    ::testing::Values(
        // Output switches apply to the paths after them only.
        TStepsCase{"/SAVE out.txt /data", {Scan("/data", P::ppText, [](P& p) { p.TextFile = "out.txt"; })}},
        TStepsCase{"/data /SAVE out.txt", {Scan("/data")}},
        TStepsCase{"/XML a.xml /p1 /SAVE b.txt /p2",
                   {Scan("/p1", P::ppXml, [](P& p) { p.XmlFile = "a.xml"; }),
                    Scan("/p2", P::ppXml | P::ppText, [](P& p) {
                        p.XmlFile = "a.xml";
                        p.TextFile = "b.txt";
                    })}},
        // Date stamps: style A for XML, B for HTML, at the end without extension.
        TStepsCase{"/DATE /XML r.xml /HTML out/r.htm /EXCEL r /data",
                   {Scan("/data", P::ppXml | P::ppHtml | P::ppExcel, [](P& p) {
                       p.XmlFile = "r_26-03-04_0506.xml";
                       p.HtmlFile = "out/r_260304-0506.htm";
                       p.ExcelFile = "r_26-03-04_0506";
                   })}},
        TStepsCase{"/XML r.xml /DATE /data", {Scan("/data", P::ppXml, [](P& p) { p.XmlFile = "r.xml"; })}},
        TStepsCase{"/DATE /SAVE /tmp/a.b/report /data",
                   {Scan("/data", P::ppText, [](P& p) { p.TextFile = "/tmp/a.b/report_260304-0506"; })}},
        // Option overrides: values, booleans, sub-objects, unknown names.
        TStepsCase{"/MaximumThreads 4 /data", {Option("MaximumThreads", "4"), Scan("/data")}},
        TStepsCase{"/GroupUsers /data", {Option("GroupUsers", "true"), Scan("/data")}},
        TStepsCase{"/GroupUsers no /data", {Option("GroupUsers", "no"), Scan("/data")}},
        TStepsCase{"/Media2\\IncludeHeader false", {Option("Media2\\IncludeHeader", "false")}},
        TStepsCase{"/NoSuchOption", {Option("NoSuchOption", "true")}},
        TStepsCase{"/MaximumThreads", {Option("MaximumThreads", "true")}},
        TStepsCase{"/MaximumThreads /XML r.xml /data",
                   {Option("MaximumThreads", "true"), Scan("/data", P::ppXml, [](P& p) { p.XmlFile = "r.xml"; })}},
        // The "/" rule: existing paths, deep paths, single names.
        TStepsCase{"/tmp", {Scan("/tmp")}},
        TStepsCase{"/no/such/folder", {Scan("/no/such/folder")}},
        TStepsCase{"/nosuch", {Option("nosuch", "true")}},
        TStepsCase{"rel", {Scan("rel")}},
        // Switches with "-" or "--", any case; /NONE is skipped.
        TStepsCase{"--xml r.xml -NONE /data", {Scan("/data", P::ppXml, [](P& p) { p.XmlFile = "r.xml"; })}},
        // Expand: an unreadable number consumes only the switch.
        TStepsCase{"/EXPAND x /data", {Scan("x"), Scan("/data")}},
        // Loaded reports: outputs act at once; compare is immediate.
        TStepsCase{"/OPEN r.xml /EXCEL out.xls",
                   {WithPath(TCommandStep::OpenReport, "r.xml"), Export(P::ppExcel, [](P& p) { p.ExcelFile = "out.xls"; })}},
        TStepsCase{"/OPEN r.xml /XML out.xml",
                   {WithPath(TCommandStep::OpenReport, "r.xml"), Export(P::ppXml, [](P& p) { p.XmlFile = "out.xml"; })}},
        TStepsCase{"/OPEN r.xml /COMPARE old.xml",
                   {WithPath(TCommandStep::OpenReport, "r.xml"), WithPath(TCommandStep::CompareNow, "old.xml")}},
        TStepsCase{"/COMPARE old.xml /data", {Scan("/data", P::ppCompare, [](P& p) { p.CompareFile = "old.xml"; })}},
        TStepsCase{"/data /COMPARE old.xml", {Scan("/data")}},
        // Lists turn their grouping on for the run.
        TStepsCase{"/EXTENSIONSLIST e.txt /data",
                   {Option("GroupExtensions", "true"),
                    Scan("/data", P::ppExtensionsList, [](P& p) { p.ExtensionsFile = "e.txt"; })}},
        // A search switch stops reading; /SETADMINFLAG ends at once.
        TStepsCase{"/data /SEARCH /p1", {Scan("/data")}},
        TStepsCase{"/SETADMINFLAG x.lnk /data", {}}));

TEST(CommandLine, ExpandLevels)
{
    struct {
        const char* Line;
        int Level;
        int Threshold;
    } cases[] = {{"/data", 1, 0}, {"/EXPAND 3 /data", 3, 0}, {"/EXPAND 500MB /data", 99, 500}, {"/EXPAND 20mb", 99, 20}, {"/EXPAND x /data", 99, 0}, {"/EXPAND xMB", 99, 0}};
    for (const auto& c : cases) {
        const auto run = Interpret(QString::fromUtf8(c.Line));
        EXPECT_EQ(run.ExpandLevel, c.Level) << c.Line;
        EXPECT_EQ(run.ExpandThreshold, c.Threshold) << c.Line;
    }
}

TEST(CommandLine, FlagsOfTheRun)
{
    EXPECT_TRUE(Interpret("/SAVE x.txt /data").Unattended);
    EXPECT_TRUE(Interpret("/data /SAVE x.txt").Unattended);
    EXPECT_FALSE(Interpret("/FILELIST /data").Unattended);
    EXPECT_TRUE(Interpret("/FILELIST /data").ShowErrorsOff);
    EXPECT_TRUE(Interpret("-nogui").NoWindow);
    EXPECT_TRUE(Interpret("/restricted").Restricted);
    EXPECT_TRUE(Interpret("/CONTEXT").ContextFlag);
    EXPECT_FALSE(Interpret("/CONTEXT /data").ContextFlag);
    EXPECT_TRUE(Interpret("/CONTEXT /data/*").ContextFlag) << "a wildcard path leaves the flag";
    EXPECT_TRUE(Interpret("/data/*").NoPathsGiven);
    EXPECT_FALSE(Interpret("/data").NoPathsGiven);
    EXPECT_EQ(Interpret("/LISTSEPARATOR ;").ListSeparator, QChar(';'));
    EXPECT_EQ(Interpret("/TITLE Weekly /data").Steps.front().Title, QStringLiteral("Weekly"));
    EXPECT_TRUE(Interpret("/SEARCH").SearchWindow);
    EXPECT_TRUE(Interpret("/SETADMINFLAG x.lnk").SetAdminFlag);
    EXPECT_EQ(Interpret("/XML out/sub/r.xml /data").FoldersToCreate, QStringList{"out/sub"});
    EXPECT_TRUE(Interpret("/XML r.xml").FoldersToCreate.isEmpty());
}

TEST(CommandLine, MissingValuesAreErrors)
{
    for (const char* line : {"/SAVE", "/SAVE /XML r.xml", "/TITLE", "/data /EXPAND"}) {
        const auto run = Interpret(QString::fromUtf8(line));
        ASSERT_FALSE(run.Errors.isEmpty()) << line;
        EXPECT_TRUE(run.Errors.front().startsWith("Missing value for /")) << line;
    }
    const auto run = Interpret("/SAVE /XML r.xml /data");
    EXPECT_EQ(run.Errors, QStringList{"Missing value for /SAVE"});
    ASSERT_EQ(run.Steps.size(), 1) << "the run carries on with the rest";
    EXPECT_EQ(run.Steps.front().PostProcessing.XmlFile, QStringLiteral("r.xml"));
}

TEST(CommandLine, QuitDecision)
{
    // After the arguments: windowless runs end when nothing scans.
    EXPECT_TRUE(QuitAfterArguments(Interpret("/NOGUI"), false, false));
    EXPECT_FALSE(QuitAfterArguments(Interpret("/NOGUI /data"), true, true));
    EXPECT_FALSE(QuitAfterArguments(Interpret("/data"), true, true));
    EXPECT_FALSE(QuitAfterArguments(Interpret("/OPEN r.xml /EXCEL o.xls"), false, true));
    EXPECT_TRUE(QuitAfterArguments(Interpret("/NOGUI /OPEN r.xml /EXCEL o.xls"), false, true));
    EXPECT_TRUE(QuitAfterArguments(Interpret("/OPEN r.xml /XML o.xml"), false, true));
    EXPECT_TRUE(QuitAfterArguments(Interpret("/NOGUI /CONTEXT"), false, false));
    EXPECT_FALSE(QuitAfterArguments(Interpret("/CONTEXT"), false, false)) << "the window asks for a folder";
    EXPECT_TRUE(QuitAfterArguments(Interpret("/SETADMINFLAG x"), false, false));

    // After a root's scan.
    EXPECT_TRUE(QuitAfterScan(Interpret("/SAVE o.txt /data"), P::ppText, false));
    EXPECT_FALSE(QuitAfterScan(Interpret("/SAVE o.txt /data /p1"), P::ppText, true)) << "another root still scans";
    EXPECT_FALSE(QuitAfterScan(Interpret("/COMPARE old.xml /data"), P::ppCompare, false));
    EXPECT_TRUE(QuitAfterScan(Interpret("/COMPARE old.xml /XML n.xml /data"), P::ppCompare | P::ppXml, false));
    EXPECT_FALSE(QuitAfterScan(Interpret("/data /SAVE o.txt"), 0, false)) << "no output for this root: window stays";
    EXPECT_TRUE(QuitAfterScan(Interpret("/NOGUI /data"), 0, false));
}

TEST(CommandLine, StampStyles)
{
    const QDateTime t(QDate(2026, 12, 31), QTime(23, 59));
    EXPECT_EQ(StampFileName("r.xml", EStampStyle::A, t), "r_26-12-31_2359.xml");
    EXPECT_EQ(StampFileName("r.xml", EStampStyle::B, t), "r_261231-2359.xml");
    EXPECT_EQ(StampFileName("dir.v2/r", EStampStyle::B, t), "dir.v2/r_261231-2359");
    EXPECT_EQ(StampFileName("a.tar.gz", EStampStyle::A, t), "a.tar_26-12-31_2359.gz");
}

TEST(CommandLine, SearchSwitchAnywhere)
{
    EXPECT_TRUE(HasSearchSwitch({"/data", "-search:start"}));
    EXPECT_TRUE(HasSearchSwitch({"/SEARCH:INTERNET"}));
    EXPECT_FALSE(HasSearchSwitch({"/data/search"}));
}

} // namespace
