#include "CommandLine.h"

#include <QRegularExpression>

namespace kelvane {
namespace {

// Switches that take the next argument as their value.
const QStringList& ValueSwitches()
{
    static const QStringList list = {
        QStringLiteral("/SETADMINFLAG"), QStringLiteral("/EXCEL"),     QStringLiteral("/XML"),
        QStringLiteral("/SAVE"),         QStringLiteral("/HTML"),      QStringLiteral("/COMPARE"),
        QStringLiteral("/PIECHART"),     QStringLiteral("/CHART"),     QStringLiteral("/BARCHART"),
        QStringLiteral("/EMAIL"),        QStringLiteral("/EXPAND"),    QStringLiteral("/EXTENSIONSLIST"),
        QStringLiteral("/USERSLIST"),    QStringLiteral("/TITLE"),     QStringLiteral("/FILTER"),
        QStringLiteral("/EXCLUDE"),      QStringLiteral("/OPEN"),      QStringLiteral("/LISTSEPARATOR"),
    };
    return list;
}

const QStringList& PlainSwitches()
{
    static const QStringList list = {
        QStringLiteral("/CONTEXT"),  QStringLiteral("/NONE"),       QStringLiteral("/DATE"),
        QStringLiteral("/PRINT"),    QStringLiteral("/PRINT1"),     QStringLiteral("/NOGUI"),
        QStringLiteral("/RESTRICTED"), QStringLiteral("/FILELIST"), QStringLiteral("/SEARCH"),
        QStringLiteral("/SEARCH:START"), QStringLiteral("/SEARCH:INTERNET"), QStringLiteral("/HELP"),
        QStringLiteral("/VERSION"),
    };
    return list;
}

// The switch an argument names ("/XML" for "/xml", "-xml" or "--xml"), or empty.
QString SwitchOf(const QString& argument)
{
    QString s = argument;
    if (s.startsWith(QLatin1String("--")))
        s = QLatin1Char('/') + s.mid(2);
    else if (s.startsWith(QLatin1Char('-')))
        s = QLatin1Char('/') + s.mid(1);
    s = s.toUpper();
    if (ValueSwitches().contains(s) || PlainSwitches().contains(s))
        return s;
    return {};
}

bool IsBooleanLiteral(const QString& text)
{
    static const QStringList literals = {QStringLiteral("true"), QStringLiteral("false"), QStringLiteral("1"),
                                         QStringLiteral("0"),    QStringLiteral("yes"),   QStringLiteral("no")};
    return literals.contains(text.trimmed().toLower());
}

QString FolderOf(const QString& file)
{
    const int slash = file.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? file.left(slash) : QString();
}

class TInterpreter {
public:
    TInterpreter(const QStringList& args, const TCommandLineContext& context)
        : FArgs(args)
        , FContext(context)
    {
    }

    TCommandLineRun Run()
    {
        for (int i = 0; i < FArgs.size(); ++i) {
            const QString& arg = FArgs[i];
            const QString sw = SwitchOf(arg);
            if (sw.isEmpty()) {
                i += PathOrOverride(i);
                continue;
            }
            if (sw.startsWith(QLatin1String("/SEARCH"))) {
                FRun.SearchWindow = true;
                FRun.Errors.append(QStringLiteral("A search command line option was passed to the main module"));
                break;
            }
            if (!ValueSwitches().contains(sw)) {
                PlainSwitch(sw);
                continue;
            }
            if (i + 1 >= FArgs.size() || !SwitchOf(FArgs[i + 1]).isEmpty()) {
                FRun.Errors.append(QStringLiteral("Missing value for %1").arg(sw));
                continue;
            }
            const QString value = FArgs[i + 1];
            if (sw == QLatin1String("/SETADMINFLAG")) {
                FRun.SetAdminFlag = true;
                break;
            }
            if (sw == QLatin1String("/EXPAND") && !Expand(value))
                continue; // the number could not be read: only the switch is consumed
            if (sw != QLatin1String("/EXPAND"))
                ValueSwitch(sw, value);
            ++i;
        }
        return FRun;
    }

private:
    void PlainSwitch(const QString& sw)
    {
        if (sw == QLatin1String("/CONTEXT"))
            FRun.ContextFlag = true;
        else if (sw == QLatin1String("/DATE"))
            FDateStamp = true;
        else if (sw == QLatin1String("/PRINT") || sw == QLatin1String("/PRINT1")) {
            TPostProcessInformation one;
            one.PrintFirstLevelOnly = sw == QLatin1String("/PRINT1");
            Output(TPostProcessInformation::ppPrint, one, [&](TPostProcessInformation& p) {
                p.PrintFirstLevelOnly = one.PrintFirstLevelOnly;
            });
        } else if (sw == QLatin1String("/NOGUI"))
            FRun.NoWindow = true;
        else if (sw == QLatin1String("/RESTRICTED"))
            FRun.Restricted = true;
        else if (sw == QLatin1String("/FILELIST")) {
            FRun.ShowErrorsOff = true;
            Add(TCommandStep::ClearClipboard);
            if (FReportRootPresent)
                ExportNow(TPostProcessInformation::ppFileList, {});
            else
                FPost.Flags |= TPostProcessInformation::ppFileList;
        } else if (sw == QLatin1String("/HELP"))
            FRun.ShowHelp = true;
        else if (sw == QLatin1String("/VERSION"))
            FRun.ShowVersion = true;
        // /NONE: a placeholder
    }

    // Returns false when the level could not be read.
    bool Expand(const QString& value)
    {
        FRun.ExpandLevel = 99;
        const QString upper = value.toUpper();
        bool ok = false;
        if (upper.contains(QLatin1String("MB"))) {
            const int mb = upper.left(upper.indexOf(QLatin1String("MB"))).trimmed().toInt(&ok);
            if (ok)
                FRun.ExpandThreshold = mb;
            return ok;
        }
        const int level = value.trimmed().toInt(&ok);
        if (ok)
            FRun.ExpandLevel = level;
        return ok;
    }

    void ValueSwitch(const QString& sw, const QString& value)
    {
        using P = TPostProcessInformation;
        if (sw == QLatin1String("/EXCEL"))
            FileOutput(P::ppExcel, value, EStampStyle::A, &P::ExcelFile);
        else if (sw == QLatin1String("/XML")) {
            FileOutput(P::ppXml, value, EStampStyle::A, &P::XmlFile);
            if (FReportRootPresent)
                FRun.QuitRequested = true;
        } else if (sw == QLatin1String("/SAVE"))
            FileOutput(P::ppText, value, EStampStyle::B, &P::TextFile);
        else if (sw == QLatin1String("/HTML"))
            FileOutput(P::ppHtml, value, EStampStyle::B, &P::HtmlFile);
        else if (sw == QLatin1String("/COMPARE")) {
            if (FReportRootPresent && !FScanStarted) {
                Add(TCommandStep::CompareNow).Path = value;
                FRun.ReportLoaded = true;
            } else {
                FPost.Flags |= P::ppCompare;
                FPost.CompareFile = value;
                FRun.Unattended = true;
                FRun.ShowErrorsOff = true;
            }
        } else if (sw == QLatin1String("/PIECHART") || sw == QLatin1String("/CHART") || sw == QLatin1String("/BARCHART")) {
            Add(TCommandStep::ChartForm).Value = sw == QLatin1String("/BARCHART") ? QStringLiteral("bar") : QStringLiteral("pie");
            FileOutput(P::ppChart, value, EStampStyle::B, &P::ChartFile);
        } else if (sw == QLatin1String("/EMAIL")) {
            TPostProcessInformation one;
            one.MailTo = value.toLocal8Bit();
            Output(P::ppEmail, one, [&](P& p) { p.MailTo = one.MailTo; });
        } else if (sw == QLatin1String("/EXTENSIONSLIST")) {
            SetOption(QStringLiteral("GroupExtensions"), QStringLiteral("true"));
            FileOutput(P::ppExtensionsList, value, EStampStyle::A, &P::ExtensionsFile);
        } else if (sw == QLatin1String("/USERSLIST")) {
            SetOption(QStringLiteral("GroupUsers"), QStringLiteral("true"));
            FileOutput(P::ppUsersList, value, EStampStyle::A, &P::UsersFile);
        } else if (sw == QLatin1String("/TITLE"))
            FRun.Title = value;
        else if (sw == QLatin1String("/FILTER")) {
            Add(TCommandStep::SetIncludePatterns).Value = value;
        } else if (sw == QLatin1String("/EXCLUDE")) {
            Add(TCommandStep::SetExcludePatterns).Value = value;
        } else if (sw == QLatin1String("/OPEN")) {
            Add(TCommandStep::OpenReport).Path = value;
            FRun.ReportLoaded = true;
            FReportRootPresent = true;
        } else if (sw == QLatin1String("/LISTSEPARATOR")) {
            if (value.isEmpty())
                FRun.Errors.append(QStringLiteral("Missing value for /LISTSEPARATOR"));
            else
                FRun.ListSeparator = value.at(0);
        }
    }

    void FileOutput(uint16_t flag, const QString& file, EStampStyle style, QString TPostProcessInformation::*member)
    {
        const QString name = FDateStamp ? StampFileName(file, style, FContext.Now()) : file;
        const QString folder = FolderOf(name);
        if (!folder.isEmpty() && !FRun.FoldersToCreate.contains(folder))
            FRun.FoldersToCreate.append(folder);
        TPostProcessInformation one;
        one.*member = name;
        Output(flag, one, [&](TPostProcessInformation& p) { p.*member = name; });
    }

    template <typename Fill>
    void Output(uint16_t flag, const TPostProcessInformation& one, Fill fill)
    {
        FRun.Unattended = true;
        FRun.ShowErrorsOff = true;
        if (FReportRootPresent) {
            ExportNow(flag, one);
            return;
        }
        FPost.Flags |= flag;
        fill(FPost);
    }

    void ExportNow(uint16_t flag, TPostProcessInformation one)
    {
        one.Flags = flag;
        Add(TCommandStep::ExportNow).PostProcessing = one;
    }

    TCommandStep& Add(TCommandStep::EKind kind)
    {
        TCommandStep step;
        step.Kind = kind;
        FRun.Steps.append(step);
        return FRun.Steps.back();
    }

    void SetOption(const QString& name, const QString& value)
    {
        TCommandStep& step = Add(TCommandStep::SetOption);
        step.Name = name;
        step.Value = value;
    }

    // Returns how many further arguments were consumed.
    int PathOrOverride(int i)
    {
        const QString& arg = FArgs[i];
        const bool exists = FContext.PathExists && FContext.PathExists(arg);
        const QString name = arg.mid(1);
        const bool isOption = arg.startsWith(QLatin1Char('/')) && FContext.IsOption && FContext.IsOption(name);
        if (exists || (!isOption && (!arg.startsWith(QLatin1Char('/')) || arg.count(QLatin1Char('/')) >= 2))) {
            ScanPath(arg);
            return 0;
        }
        // An option override: "/Name value"
        const bool hasNext = i + 1 < FArgs.size();
        const QString next = hasNext ? FArgs[i + 1] : QString();
        if (FContext.IsBooleanOption && FContext.IsBooleanOption(name)) {
            if (hasNext && IsBooleanLiteral(next)) {
                SetOption(name, next);
                return 1;
            }
            SetOption(name, QStringLiteral("true"));
            return 0;
        }
        if (!hasNext || !SwitchOf(next).isEmpty()) {
            SetOption(name, QStringLiteral("true"));
            return 0;
        }
        SetOption(name, next);
        return 1;
    }

    void ScanPath(const QString& path)
    {
        TCommandStep& step = Add(TCommandStep::ScanPath);
        step.Path = path;
        step.PostProcessing = FPost;
        step.Title = FRun.Title;
        FScanStarted = true;
        if (!path.contains(QLatin1Char('*')) && !path.contains(QLatin1Char('?'))) {
            FRun.ContextFlag = false;
            FRun.NoPathsGiven = false;
        }
    }

    const QStringList& FArgs;
    const TCommandLineContext& FContext;
    TCommandLineRun FRun;
    TPostProcessInformation FPost;
    bool FDateStamp = false;
    bool FReportRootPresent = false;
    bool FScanStarted = false;
};

} // namespace

TCommandLineRun InterpretCommandLine(const QStringList& arguments, const TCommandLineContext& context)
{
    return TInterpreter(arguments, context).Run();
}

QString StampFileName(const QString& name, EStampStyle style, const QDateTime& now)
{
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const int split = dot > slash ? dot : int(name.size());
    const QString stamp = now.toString(style == EStampStyle::A ? QStringLiteral("_yy-MM-dd_hhmm") : QStringLiteral("_yyMMdd-hhmm"));
    return name.left(split) + stamp + name.mid(split);
}

bool QuitAfterArguments(const TCommandLineRun& run, bool anyRootScanning, bool anyRootPresent)
{
    if (run.SetAdminFlag || run.ShowHelp || run.ShowVersion)
        return true;
    if (anyRootScanning)
        return false;
    if (run.ContextFlag && (run.NoWindow || run.Unattended) && !anyRootPresent)
        return true;
    return run.NoWindow || run.QuitRequested;
}

bool QuitAfterScan(const TCommandLineRun& run, uint16_t rootFlags, bool anyRootScanning)
{
    if (anyRootScanning)
        return false;
    if (run.NoWindow || run.QuitRequested)
        return true;
    return rootFlags != 0 && rootFlags != TPostProcessInformation::ppCompare;
}

bool HasSearchSwitch(const QStringList& arguments)
{
    for (const QString& a : arguments)
        if (SwitchOf(a).startsWith(QLatin1String("/SEARCH")))
            return true;
    return false;
}

QString CommandLineHelp()
{
    return QStringLiteral(
        "Usage: dromlet [switches] [paths]\n"
        "\n"
        "Scans the given folders and shows where the disk space went. Switches are\n"
        "case-insensitive and may start with /, - or --. Output switches apply to the\n"
        "paths that follow them.\n"
        "\n"
        "Outputs (written when the scan of each later path has finished):\n"
        "  /XML file             XML report (stamp style A with /DATE)\n"
        "  /SAVE file            text report; .csv writes CSV (stamp style B)\n"
        "  /HTML file            HTML report (stamp style B)\n"
        "  /EXCEL file           spreadsheet report (stamp style A)\n"
        "  /PIECHART file, /CHART file, /BARCHART file\n"
        "                        chart image (.png, .bmp, .jpg) (stamp style B)\n"
        "  /EXTENSIONSLIST file  extension list; turns GroupExtensions on (style A)\n"
        "  /USERSLIST file       owner list; turns GroupUsers on (style A)\n"
        "  /PRINT, /PRINT1       print the report (first level only with /PRINT1)\n"
        "  /EMAIL address        send the report by e-mail\n"
        "  /FILELIST             list of files of all roots to the clipboard\n"
        "                        (and to standard output without a display)\n"
        "  /COMPARE file         compare with a stored XML report\n"
        "\n"
        "Control:\n"
        "  /NOGUI                no window; ends by itself when the work is done\n"
        "  /DATE                 stamp later output names with the date and time\n"
        "  /EXPAND n | nMB       open n tree levels, or all folders over n MB\n"
        "  /TITLE text           title of the roots of later paths\n"
        "  /FILTER patterns      count only matching files (e.g. \"*.iso *.img\")\n"
        "  /EXCLUDE patterns     leave matching files and folders out\n"
        "  /OPEN file            load an XML report instead of scanning\n"
        "  /LISTSEPARATOR c      separator of lists and CSV files\n"
        "  /RESTRICTED           restricted mode (folders from $KELVANE only)\n"
        "  /CONTEXT folder       scan a folder from the file manager's menu\n"
        "  /SETADMINFLAG file    accepted for compatibility; does nothing\n"
        "  /NONE                 placeholder, ignored\n"
        "  /<Option> [value]     set an option for this run only, e.g.\n"
        "                        /MaximumThreads 4, /GroupUsers, /Media2\\IncludeHeader false\n"
        "  --help, --version\n"
        "\n"
        "An argument that names an existing file or folder is a path; \"/name\" that\n"
        "names an option is an override; any other argument with a second \"/\" is a\n"
        "path.\n"
        "\n"
        "Exit status: 0 when every root was scanned and every output written, 1 when a\n"
        "root or an output failed, 2 for a command-line error.\n");
}

} // namespace kelvane
