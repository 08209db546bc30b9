// glib first: its headers use "signals" as a name.
#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-timestamp.h>
#include <gsf/gsf-utils.h>

#include "lib/BraskFileStream.h"
#include "lib/platform/AttributeLetters.h"
#include "lib/platform/DirectoryLister.h"
#include "lib/platform/DocumentProperties.h"
#include "lib/platform/ErrorCodes.h"
#include "lib/platform/FileTime.h"
#include "lib/platform/OwnerNames.h"
#include "lib/platform/Permissions.h"
#include "lib/platform/VersionResource.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <acl/libacl.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/acl.h>
#include <unistd.h>

using namespace kelvane;

namespace {

// --- a tiny Windows program file with a version resource -----------------

void Put16(QByteArray& b, qsizetype at, uint16_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void Put32(QByteArray& b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void Pad4(QByteArray& b)
{
    while (b.size() % 4)
        b.append('\0');
}
QByteArray Utf16z(const QString& s)
{
    QByteArray b;
    for (QChar c : s) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b.append(2, '\0');
}

QByteArray Block(const QString& key, const QByteArray& value, uint16_t valueLength, uint16_t type, const QList<QByteArray>& children)
{
    QByteArray b(6, '\0');
    Put16(b, 2, valueLength);
    Put16(b, 4, type);
    b += Utf16z(key);
    Pad4(b);
    b += value;
    Pad4(b);
    for (const QByteArray& child : children) {
        b += child;
        Pad4(b);
    }
    Put16(b, 0, uint16_t(b.size()));
    return b;
}

QByteArray Text(const QString& key, const QString& text)
{
    return Block(key, Utf16z(text), uint16_t(text.size() + 1), 1, {});
}

QByteArray VersionInfo()
{
    QByteArray fixed(52, '\0');
    Put32(fixed, 0, 0xFEEF04BD);
    QByteArray translation(4, '\0');
    Put16(translation, 0, 0x0407);
    Put16(translation, 2, 0x04B0);
    return Block("VS_VERSION_INFO", fixed, 52, 0,
                 {Block("StringFileInfo", {}, 0, 1,
                        {Block("040704B0", {}, 0, 1, {Text("FileVersion", "1.2.3.4"), Text("ProductVersion", "5.6")})}),
                  Block("VarFileInfo", {}, 0, 1, {Block("Translation", translation, 4, 0, {})})});
}

QByteArray TinyPe(const QByteArray& version)
{
    QByteArray pe(0x200, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    Put32(pe, 0x3C, 0x40);
    pe.replace(0x40, 4, QByteArray("PE\0\0", 4));
    Put16(pe, 0x44, 0x14C); // machine
    Put16(pe, 0x46, 1);     // sections
    Put16(pe, 0x54, 224);   // optional header size
    Put16(pe, 0x58, 0x10B); // PE32
    Put32(pe, 0x58 + 92, 16);
    Put32(pe, 0x58 + 96 + 16, 0x1000); // resource directory RVA
    const qsizetype section = 0x58 + 224;
    pe.replace(section, 5, ".rsrc");
    QByteArray rsrc(0x58, '\0');
    Put16(rsrc, 0x0E, 1);
    Put32(rsrc, 0x10, 16);
    Put32(rsrc, 0x14, 0x80000018);
    Put16(rsrc, 0x18 + 0x0E, 1);
    Put32(rsrc, 0x18 + 0x10, 1);
    Put32(rsrc, 0x18 + 0x14, 0x80000030);
    Put16(rsrc, 0x30 + 0x0E, 1);
    Put32(rsrc, 0x30 + 0x10, 0x407);
    Put32(rsrc, 0x30 + 0x14, 0x48);
    Put32(rsrc, 0x48, 0x1000 + 0x58);
    Put32(rsrc, 0x4C, uint32_t(version.size()));
    rsrc += version;
    Put32(pe, section + 8, uint32_t(rsrc.size()));
    Put32(pe, section + 12, 0x1000);
    Put32(pe, section + 16, uint32_t(rsrc.size()));
    Put32(pe, section + 20, 0x200);
    return pe + rsrc;
}

void Save(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(VersionResource, ReadFromATinyProgramFile)
{
    QTemporaryDir dir;
    const QString exe = dir.filePath("tool.EXE");
    Save(exe, TinyPe(VersionInfo()));
    EXPECT_EQ(GetVersionText(1, exe), "1.2.3.4");
    EXPECT_EQ(GetVersionText(2, exe), "5.6");
    EXPECT_EQ(GetVersionText(3, exe), "5.6   (1.2.3.4)");
    const TVersionResource r = ReadVersionResource(TinyPe(VersionInfo()));
    EXPECT_EQ(r.Translation, "040704B0");

    const QString text = dir.filePath("notes.txt");
    Save(text, TinyPe(VersionInfo()));
    EXPECT_EQ(GetVersionText(2, text), QString()) << "only program files are read";
    EXPECT_FALSE(GetVersionText(1, QString()).isEmpty()) << "our own version";
}

TEST(VersionResource, DamagedFilesGiveNothing)
{
    const QByteArray good = TinyPe(VersionInfo());
    for (qsizetype cut : std::initializer_list<qsizetype>{0, 2, 0x40, 0x100, 0x200, 0x230, good.size() - 3})
        EXPECT_TRUE(ReadVersionResource(good.left(cut)).Strings.isEmpty()) << cut;
    QByteArray wild = good;
    Put32(wild, 0x200 + 0x14, 0x8FFFFFF0); // a subdirectory far outside the file
    EXPECT_TRUE(ReadVersionResource(wild).Strings.isEmpty());
    QByteArray loop = good;
    Put16(loop, 0x200 + 0x58, 0xFFFF); // a block longer than its data
    EXPECT_TRUE(ReadVersionResource(loop).Strings.isEmpty());
}

// --- office documents ------------------------------------------------------

void WriteOle2(const QString& path, const char* author, time_t saved)
{
    gsf_init();
    GsfOutput* out = gsf_output_stdio_new(ToLocalPath(path).c_str(), nullptr);
    GsfOutfile* ole = gsf_outfile_msole_new(out);
    GsfOutput* summary = gsf_outfile_new_child(ole, "\005SummaryInformation", FALSE);
    GsfDocMetaData* meta = gsf_doc_meta_data_new();
    GValue* name = g_new0(GValue, 1);
    g_value_init(name, G_TYPE_STRING);
    g_value_set_string(name, author);
    gsf_doc_meta_data_insert(meta, g_strdup(GSF_META_NAME_CREATOR), name); // the author in OLE2
    GsfTimestamp* stamp = gsf_timestamp_new();
    gsf_timestamp_set_time(stamp, guint64(saved));
    GValue* when = g_new0(GValue, 1);
    g_value_init(when, GSF_TIMESTAMP_TYPE);
    gsf_timestamp_to_value(stamp, when);
    gsf_doc_meta_data_insert(meta, g_strdup(GSF_META_NAME_DATE_MODIFIED), when);
    gsf_doc_meta_data_write_to_msole(meta, summary, FALSE);
    gsf_output_close(summary);
    g_object_unref(summary);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    g_object_unref(out);
    g_object_unref(meta);
    gsf_timestamp_free(stamp);
}

void WriteZip(const QString& path, const char* folder, const char* name, const QByteArray& xml)
{
    gsf_init();
    GsfOutput* out = gsf_output_stdio_new(ToLocalPath(path).c_str(), nullptr);
    GsfOutfile* zip = gsf_outfile_zip_new(out, nullptr);
    GsfOutfile* parent = zip;
    GsfOutput* dir = nullptr;
    if (folder) {
        dir = gsf_outfile_new_child(zip, folder, TRUE);
        parent = GSF_OUTFILE(dir);
    }
    GsfOutput* child = gsf_outfile_new_child(parent, name, FALSE);
    gsf_output_write(child, size_t(xml.size()), reinterpret_cast<const guint8*>(xml.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    if (dir) {
        gsf_output_close(dir);
        g_object_unref(dir);
    }
    gsf_output_close(GSF_OUTPUT(zip));
    g_object_unref(zip);
    g_object_unref(out);
}

TEST(DocumentProperties, OfficeFormats)
{
    QTemporaryDir dir;
    const TFileTime expected = FileTimeFromUnix(1700000000, 0);

    const QString doc = dir.filePath("old.doc");
    WriteOle2(doc, "Ada Lovelace", 1700000000);
    EXPECT_EQ(GetDocumentAuthor(doc), "Ada Lovelace");
    EXPECT_EQ(GetDocumentLastSaved(doc), expected);

    const QString docx = dir.filePath("new.docx");
    WriteZip(docx, "docProps", "core.xml",
             "<?xml version=\"1.0\"?><cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
             "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\">"
             "<dc:creator>Grace Hopper</dc:creator><dcterms:modified>2023-11-14T22:13:20Z</dcterms:modified></cp:coreProperties>");
    EXPECT_EQ(GetDocumentAuthor(docx), "Grace Hopper");
    EXPECT_EQ(GetDocumentLastSaved(docx), expected);

    const QString odt = dir.filePath("open.odt");
    WriteZip(odt, nullptr, "meta.xml",
             "<?xml version=\"1.0\"?><office:document-meta xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" office:version=\"1.2\">"
             "<office:meta><meta:initial-creator>Katherine Johnson</meta:initial-creator><dc:date>2023-11-14T22:13:20Z</dc:date></office:meta></office:document-meta>");
    EXPECT_EQ(GetDocumentAuthor(odt), "Katherine Johnson");
    EXPECT_EQ(GetDocumentLastSaved(odt), expected);

    const QString plain = dir.filePath("plain.txt");
    Save(plain, "just text");
    EXPECT_EQ(GetDocumentAuthor(plain), QString());
    EXPECT_EQ(GetDocumentLastSaved(plain), 0u);
    EXPECT_EQ(GetDocumentAuthor(dir.filePath("missing.doc")), QString());
}

// --- owners and permissions -------------------------------------------------

TEST(Owners, NamesByUserId)
{
    auto& cache = TSID2Username::Instance();
    EXPECT_EQ(cache.Lookup(0), "root");
    EXPECT_EQ(cache.Lookup(3999999), "3999999") << "a user id without account shows as its number";
    QTemporaryDir dir;
    EXPECT_EQ(GetOwnerText(dir.path()), cache.Lookup(::getuid()));
    EXPECT_FALSE(GetOwnerText(dir.filePath("missing")).isEmpty()) << "the error text";
}

std::optional<QString> FlakyResolver(uint32_t uid, bool& failed)
{
    static int calls = 0;
    failed = ++calls == 1;
    return failed ? std::nullopt : std::optional<QString>(QStringLiteral("user%1").arg(uid));
}

TEST(Owners, OnlyMissingAccountsAreCachedAsFailures)
{
    auto& cache = TSID2Username::Instance();
    cache.SetResolver(&FlakyResolver);
    EXPECT_EQ(cache.Lookup(42), "42") << "the account database failed this time";
    EXPECT_EQ(cache.Lookup(42), "user42") << "and is asked again";
    cache.SetResolver(nullptr);
}

TEST(Permissions, AclOrModeBits)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f");
    Save(file, "x");
    ::chmod(ToLocalPath(file).c_str(), 0640);
    EXPECT_EQ(GetPermissionsText(file, "   ").value_or("?"), "user::rw-   group::r--   other::---");

    acl_t acl = acl_from_text("user::rw-,user:65534:r--,group::r--,mask::r--,other::---");
    ASSERT_NE(acl, nullptr);
    if (acl_set_file(ToLocalPath(file).c_str(), ACL_TYPE_ACCESS, acl) == 0) {
        const QString text = GetPermissionsText(file, "; ").value_or("?");
        EXPECT_TRUE(text.contains("user:nobody:r--") || text.contains("user:65534:r--")) << text.toStdString();
        EXPECT_TRUE(text.contains("mask::r--")) << text.toStdString();
    }
    acl_free(acl);

    QString error;
    EXPECT_FALSE(GetPermissionsText(dir.filePath("missing"), " ", &error).has_value());
    EXPECT_EQ(error, "Could not get Access Control List");
}

// --- texts -----------------------------------------------------------------

TEST(Texts, ErrorsAttributesAndTimes)
{
    EXPECT_EQ(GetErrorText(ErrorCodeFromErrno(EACCES)), QString::fromLocal8Bit(strerror(EACCES)));
    EXPECT_EQ(GetErrorText(5), QString::fromLocal8Bit(strerror(EACCES))) << "a bare Windows code";
    EXPECT_EQ(GetErrorText(87), "Unknown");
    EXPECT_EQ(WindowsErrorCode(ErrorCodeFromErrno(ENAMETOOLONG)), 206);
    EXPECT_EQ(WindowsErrorCode(ErrorCodeFromErrno(EMFILE)), 4);
    EXPECT_EQ(WindowsErrorCode(ErrorCodeFromErrno(EIO)), 1117);
    EXPECT_FALSE(GetErrorText(ErrorCodeFromErrno(EIO)).contains('\n'));

    EXPECT_EQ(GetAttributeLetters(faHidden | faCompressed | faArchive), "HAC");
    EXPECT_EQ(GetAttributeLetters(faReadOnly | faSystem | faSparse | faTemporary), "RSCT");
    EXPECT_EQ(GetAttributeLetters(0), "");

    EXPECT_EQ(FormatFileTime(0, true), QString());
    EXPECT_EQ(FormatFileTime(0x00000000FFFFFFFFULL, false), QString()) << "upper half 0";
    const TFileTime t = FileTimeFromUnix(1700000000, 0);
    EXPECT_FALSE(FormatFileTime(t, false).isEmpty());
    EXPECT_GT(FormatFileTime(t, true).size(), FormatFileTime(t, false).size());
    EXPECT_EQ(DateTimeToFileTime(FileTimeToDateTime(t)), t);
}

TEST(TextStream, EncodingsAndByteOrderMarks)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath("out/list.CSV");
    ASSERT_EQ(WriteWideTextToFile(csv, "a;ä\r\n", false), 0) << "missing folders are created";
    QFile c(csv);
    ASSERT_TRUE(c.open(QIODevice::ReadOnly));
    EXPECT_EQ(c.readAll(), QByteArray("\xEF\xBB\xBF" "a;\xC3\xA4\r\n"));

    const QString txt = dir.filePath("list.txt");
    ASSERT_EQ(WriteWideTextToFile(txt, "a", false), 0);
    ASSERT_EQ(WriteWideTextToFile(txt, "b", true), 0);
    QFile t(txt);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("\xFF\xFE" "a\0b\0", 6)) << "the mark only at offset 0";

    ASSERT_EQ(WriteWideTextToFile(txt, "c", false), 0);
    t.close();
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("\xFF\xFE" "c\0", 4)) << "an existing file is replaced";

    TBraskFileStream stream;
    ASSERT_EQ(stream.Open(dir.filePath("kept.txt"), false), 0);
    stream.WriteTextLine("never committed");
    EXPECT_FALSE(QFile::exists(dir.filePath("kept.txt"))) << "nothing appears before the commit";

    EXPECT_EQ(WriteTextToFile("relative-without-folder", "x", false), 3);
    EXPECT_NE(WriteTextToFile("/proc/no-such-dir/x", "x", false), 0);
}

TEST(TextStream, StreamsEqual)
{
    QByteArray big(5 * 1024 * 1024, 'a');
    QByteArray other = big;
    QBuffer a(&big), b(&other);
    a.open(QIODevice::ReadOnly);
    b.open(QIODevice::ReadOnly);
    EXPECT_TRUE(StreamsEqual(a, b));
    other[4 * 1024 * 1024] = 'b';
    EXPECT_FALSE(StreamsEqual(a, b));
    QByteArray shorter = big.left(10);
    QBuffer s(&shorter);
    s.open(QIODevice::ReadOnly);
    EXPECT_FALSE(StreamsEqual(a, s));
}

} // namespace
