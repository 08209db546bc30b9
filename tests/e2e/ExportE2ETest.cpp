#include "ProgramRunner.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <gtest/gtest.h>

namespace {

// A fixture with known sizes and dates:
//   big/data.bin 3 MiB, big/inner/a.log 1 MiB, small/s.txt 10000, top.txt 2048.
class ExportE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        Root = Dir.path() + "/tree";
        for (const char* folder : {"/big/inner", "/small"})
            ASSERT_TRUE(QDir().mkpath(Root + folder));
        Write("/big/data.bin", 3 << 20);
        Write("/big/inner/a.log", 1 << 20);
        Write("/small/s.txt", 10000);
        Write("/top.txt", 2048);
        struct statvfs vfs;
        ASSERT_EQ(statvfs(Root.toLocal8Bit().constData(), &vfs), 0);
        FourKClusters = vfs.f_bsize == 4096;
    }

    void Write(const QString& name, int size)
    {
        QFile file(Root + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'k'));
    }

    // Every file and folder changed and read on 5 March 2024, 12:00 UTC.
    void SetTimes()
    {
        const struct timespec when[2] = {{1709640000, 0}, {1709640000, 0}};
        for (const char* path : {"/big/data.bin", "/big/inner/a.log", "/small/s.txt", "/top.txt", "/big/inner", "/big", "/small", ""})
            ASSERT_EQ(utimensat(AT_FDCWD, (Root + path).toLocal8Bit().constData(), when, 0), 0);
    }

    TProgramResult Run(QStringList arguments, const char* locale = "en_US.UTF-8")
    {
        QProcessEnvironment env;
        env.insert("LC_ALL", locale);
        env.insert("TZ", "UTC");
        arguments.prepend("/NOGUI");
        return Runner.Run(arguments, 60000, &env);
    }

    static QString Read(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("<missing>");
    }

    // The rows of a text export: the lines after the column header.
    static QStringList Rows(const QString& text)
    {
        QStringList lines = text.split("\r\n");
        const qsizetype header = lines.indexOf(QRegularExpression("^Full Path.*"));
        return header < 0 ? QStringList{"<no header>"} : lines.mid(header + 1);
    }

    QTemporaryDir Dir;
    TProgramRunner Runner;
    QString Root;
    bool FourKClusters = false;
};

TEST_F(ExportE2E, TextExportRowsFollowTheExpandedTreeInSizeOrder)
{
    if (!FourKClusters)
        GTEST_SKIP() << "the expected figures assume 4096-byte clusters";
    SetTimes();
    const QString out = Dir.path() + "/out.txt";
    const auto r = Run({"/UsePlainNumbers", "true", "/SAVE", out, Root});
    ASSERT_TRUE(r.Finished);
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QString text = Read(out);
    const QStringList lines = text.split("\r\n");
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "") << "the text starts with an empty line";
    EXPECT_TRUE(lines[1].startsWith("Kelvane Professional Report, ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("  " + Root)) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("Drive: ")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].endsWith("4096 Bytes per Cluster (" + lines[3].section('(', -1))) << lines[3].toStdString();
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5],
              "Full Path      \tSize           \tAllocated      \tFiles          \tFolders        \t% of Parent    \t"
              "Last Change    \tLast Access    ");
    // Subfolders charge one cluster to their parent; the files item shares
    // its folder's own file counters.
    const QStringList expected = {
        Root + "\t4206352\t4222976\t4 \t3 \t100.0\t3/5/24\t3/5/24",
        Root + "/big\t4194304\t4198400\t2 \t1 \t99.7\t3/5/24\t3/5/24",
        Root + "/small\t10000\t12288\t1 \t0 \t0.2\t3/5/24\t3/5/24",
        Root + "/*.*\t2048\t4096\t1 \t2 \t0.0\t\t",
        "",
    };
    EXPECT_EQ(Rows(text), expected);
}

TEST_F(ExportE2E, ExpandLevelsAndSortTypesShapeTheExport)
{
    const QString out = Dir.path() + "/out.txt";
    auto names = [&](const QStringList& arguments) {
        const auto r = Run(arguments + QStringList{"/SAVE", out, Root});
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        QStringList shown;
        for (const QString& row : Rows(Read(out)))
            if (!row.isEmpty())
                shown.append(row.section('\t', 0, 0).mid(Root.size()));
        return shown;
    };
    EXPECT_EQ(names({"/EXPAND", "2"}), QStringList({"", "/big", "/big/*.*", "/big/inner", "/small", "/*.*"}));
    EXPECT_EQ(names({"/EXPAND", "3MB"}), QStringList({"", "/big", "/big/*.*", "/big/inner", "/small", "/*.*"}))
        << "only folders over 3 MB open";
    EXPECT_EQ(names({"/EXPAND", "4MB"}), QStringList({"", "/big", "/big/*.*", "/big/inner", "/small", "/*.*"}))
        << "exactly 4 MB is not below the threshold";
    EXPECT_EQ(names({"/EXPAND", "5MB"}), QStringList({""}));
    EXPECT_EQ(names({"/EXPAND", "9", "/SortType", "stName"}),
              QStringList({"", "/big", "/big/inner", "/big/*.*", "/small", "/*.*"}))
        << "by name, the files item comes after the subfolders";
}

TEST_F(ExportE2E, NumbersFollowTheLocale)
{
    const QString out = Dir.path() + "/out.txt";
    const struct {
        const char* Locale;
        const char* Size;
        const char* Percent;
    } cases[] = {
        {"en_US.UTF-8", "4,107.8 KB", "100.0 %"},
        {"de_DE.UTF-8", "4.107,8 KB", "100,0 %"},
    };
    for (const auto& c : cases) {
        const auto r = Run({"/SizeUnit", "Kilo", "/SAVE", out, Root}, c.Locale);
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        const QStringList cells = Rows(Read(out)).value(0).split('\t');
        ASSERT_GE(cells.size(), 6) << c.Locale;
        EXPECT_EQ(cells[1], c.Size) << c.Locale;
        EXPECT_EQ(cells[5], c.Percent) << c.Locale;
    }
}

TEST_F(ExportE2E, CsvUsesTheListSeparatorAndQuotesWhereNeeded)
{
    ASSERT_TRUE(QDir().mkpath(Root + "/odd, \"name\""));
    Write("/odd, \"name\"/f", 5);
    const QString out = Dir.path() + "/out.CSV";
    const struct {
        const char* Locale;
        const char* Separator;
        const char* Size; // grouping is dropped where it would clash
    } cases[] = {
        {"en_US.UTF-8", ",", "4107.8 KB"},
        {"de_DE.UTF-8", ";", "4.107,8 KB"},
    };
    for (const auto& c : cases) {
        const auto r = Run({"/SizeUnit", "Kilo", "/SAVE", out, Root}, c.Locale);
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        const QString text = Read(out);
        EXPECT_TRUE(text.contains(Root + c.Separator + c.Size + c.Separator)) << c.Locale << "\n" << text.toStdString();
        EXPECT_TRUE(text.contains("\"" + Root + "/odd, \"\"name\"\"\"" + c.Separator)) << c.Locale << "\n" << text.toStdString();
    }
}

TEST_F(ExportE2E, HtmlEscapesEveryTextAndPadsTheTitles)
{
    ASSERT_TRUE(QDir().mkpath(Root + "/a&<b>\"c"));
    const QString out = Dir.path() + "/page.html";
    const auto r = Run({"/HTML", out, Root});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QStringList lines = Read(out).split("\r\n");
    ASSERT_GE(lines.size(), 14);
    EXPECT_EQ(lines[0], "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\" >");
    EXPECT_EQ(lines[3], "<TITLE>Kelvane Professional Report, " + Root + "/</TITLE>");
    EXPECT_TRUE(lines[5].startsWith("<link rel=\"stylesheet\" href=\"file:///")) << lines[5].toStdString();
    EXPECT_TRUE(lines.contains("<table border=1 cellpadding=2><tr><th>Full Path      </th><th>Size           </th><th>Allocated      "
                               "</th><th>Files          </th><th>Folders        </th><th>% of Parent    </th><th>Last Change    "
                               "</th><th>Last Access    </th></tr>"));
    EXPECT_TRUE(Read(out).contains("<tr><td>" + Root + "/a&amp;&lt;b&gt;&quot;c</td>"));
    EXPECT_EQ(lines.value(lines.size() - 2), "</BODY></HTML>");
    EXPECT_EQ(lines.value(lines.size() - 3), "</TABLE>");
}

TEST_F(ExportE2E, ExtensionAndOwnerListsWithTheirEncodings)
{
    Write("/small/README", 7);
    Write("/big/x.qqq", 1);
    const QString extensions = Dir.path() + "/lists/ext.csv", owners = Dir.path() + "/lists/own.txt";
    const auto r = Run({"/EXTENSIONSLIST", extensions, "/USERSLIST", owners, Root});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();

    QFile csv(extensions);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray csvBytes = csv.readAll();
    ASSERT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF")) << "UTF-8 with its byte-order mark";
    const QStringList csvLines = QString::fromUtf8(csvBytes.mid(3)).split("\r\n");
    EXPECT_EQ(csvLines.value(0), "\"Extension\",\"Size\",\"Allocated\",\"Percent\",\"Files\",\"Description\"");
    EXPECT_TRUE(csvLines.value(1).startsWith("\".bin\",\"3.0 MB\",\"3.0 MB\",\"74.8 %\",\"1 \",")) << "largest first";
    EXPECT_TRUE(csvLines.contains("\"(none)\",\"0.0 MB\",\"0.0 MB\",\"0.0 %\",\"1 \",\"No file extension\"")) << csvBytes.toStdString();
    EXPECT_TRUE(csvLines.contains("\".qqq\",\"0.0 MB\",\"0.0 MB\",\"0.0 %\",\"1 \",\"QQQ File\"")) << csvBytes.toStdString();

    QFile txt(owners);
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QByteArray txtBytes = txt.readAll();
    ASSERT_TRUE(txtBytes.startsWith("\xFF\xFE")) << "UTF-16 little-endian with its byte-order mark";
    QStringDecoder utf16(QStringDecoder::Utf16LE);
    const QStringList txtLines = QString(utf16(txtBytes.mid(2))).split("\r\n");
    EXPECT_EQ(txtLines.value(0), "Name\tSize\tAllocated\tPercent\tFiles");
    EXPECT_TRUE(txtLines.value(1).endsWith("\t4.0 MB\t4.0 MB\t100.0 %\t6 ")) << txtLines.value(1).toStdString();
}

TEST_F(ExportE2E, FileListGoesToStandardOutputWithoutAWindow)
{
    const auto r = Run({"/FILELIST", Root});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QStringList lines = r.Out.split("\r\n");
    ASSERT_GE(lines.size(), 7) << r.Out.toStdString();
    EXPECT_EQ(lines[0], "Kelvane Professional - File List of " + Root + "/");
    EXPECT_EQ(lines[2], "File\tSize in Bytes\tLast Access\tLast Change\tCreation Date");
    EXPECT_TRUE(lines[3].startsWith(Root + "/top.txt\t2048\t")) << "a folder's files come before its subfolders";
    QStringList files;
    for (const QString& line : lines.mid(3))
        if (!line.isEmpty())
            files.append(line.section('\t', 0, 0).mid(Root.size()));
    files.sort();
    EXPECT_EQ(files, QStringList({"/big/data.bin", "/big/inner/a.log", "/small/s.txt", "/top.txt"}));
}

TEST_F(ExportE2E, OutputsApplyToLaterPathsAndEachRootWritesItsOwnFile)
{
    const QString out = Dir.path() + "/o.txt";
    auto r = Run({Root + "/big", "/SAVE", out, Root + "/small", Root + "/big/inner"});
    ASSERT_TRUE(r.Finished) << "the run ends by itself";
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(Read(out).contains(Root + "/small\t")) << "the first path after the switch writes the name as given";
    EXPECT_TRUE(Read(Dir.path() + "/o_2.txt").contains(Root + "/big/inner\t"));
    EXPECT_FALSE(QFile::exists(Dir.path() + "/o_3.txt")) << "the path before the switch writes nothing";

    r = Run({"/DATE", "/SAVE", Dir.path() + "/stamped/s.txt", "/EXTENSIONSLIST", Dir.path() + "/stamped/e.txt", Root});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QStringList stamped = QDir(Dir.path() + "/stamped").entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(stamped.size(), 2) << stamped.join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression("^e_\\d\\d-\\d\\d-\\d\\d_\\d{4}\\.txt$").match(stamped[0]).hasMatch()) << stamped[0].toStdString();
    EXPECT_TRUE(QRegularExpression("^s_\\d{6}-\\d{4}\\.txt$").match(stamped[1]).hasMatch()) << stamped[1].toStdString();
}

TEST_F(ExportE2E, AFailedOutputFailsTheRunAndTheOthersAreWritten)
{
    QFile blocker(Dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString html = Dir.path() + "/ok.html", xml = Dir.path() + "/ok.xml";
    const auto r = Run({"/SAVE", Dir.path() + "/file/not-a-folder/x.txt", "/HTML", html, "/XML", xml, Root});
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.contains("An error occured while opening the file: " + Dir.path() + "/file/not-a-folder/x.txt")) << r.Err.toStdString();
    EXPECT_TRUE(Read(html).contains("</TABLE>"));
    EXPECT_TRUE(Read(xml).contains("<Path>" + Root + "/</Path>"));
}

TEST_F(ExportE2E, AMediumWithoutColumnsIsReportedAndStillExported)
{
    QDir().mkpath(Runner.Home() + "/config/Brask Software");
    QFile settings(Runner.SettingsFile());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    QByteArray ini;
    for (int column : {1, 2, 3, 4, 7, 8, 9, 10})
        ini += QString("[Column%1/Media2]\nColumnVisible=false\n").arg(column).toUtf8();
    settings.write(ini);
    settings.close();
    const QString out = Dir.path() + "/none.txt";
    const auto r = Run({"/SAVE", out, Root});
    EXPECT_TRUE(r.Err.contains("No column activated for Text Export!!")) << r.Err.toStdString();
    EXPECT_TRUE(Read(out).contains("Kelvane Professional Report, "));
}

TEST_F(ExportE2E, ChartImagesWithoutADisplay)
{
    const QString pie = Dir.path() + "/pie.png", bars = Dir.path() + "/bars.PNG", page = Dir.path() + "/page.html";
    auto r = Run({"/HTML", page, "/PIECHART", pie, Root});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QImage image(pie);
    ASSERT_EQ(image.size(), QSize(800, 800));
    // "big" holds almost everything: right of the centre the pie shows the
    // first palette colour (red).
    EXPECT_EQ(image.pixelColor(450, 420).rgb() & 0xFFFFFF, 0xFF0000u) << std::hex << image.pixelColor(450, 420).rgb();
    EXPECT_TRUE(Read(page).contains("<p align=\"center\"><img src=\"pie.png\"></p>")) << "the page shows the chart beside it";

    r = Run({"/BARCHART", bars, Root});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    image = QImage(bars);
    ASSERT_EQ(image.size(), QSize(800, 800));
    int silver = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); x += 4)
            silver += (image.pixel(x, y) & 0xFFFFFF) == 0xC0C0C0 ? 1 : 0;
    EXPECT_GT(silver, 1000) << "the size bars are silver";
}

} // namespace
