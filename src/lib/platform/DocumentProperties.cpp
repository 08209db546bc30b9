// glib headers use "signals" as a name: include them before any Qt header.
#include <gsf/gsf.h>
#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-timestamp.h>
#include <gsf/gsf-utils.h>

#include "DocumentProperties.h"

#include "DirectoryLister.h"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>
#include <mutex>

namespace kelvane {
namespace {

template <typename T>
struct TGObject {
    T* Ptr = nullptr;
    explicit TGObject(T* p) : Ptr(p) {}
    ~TGObject()
    {
        if (Ptr)
            g_object_unref(Ptr);
    }
    TGObject(const TGObject&) = delete;
    TGObject& operator=(const TGObject&) = delete;
    explicit operator bool() const { return Ptr != nullptr; }
};

TFileTime FromIso(const QString& text)
{
    QDateTime t = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    return DateTimeToFileTime(t);
}

QString MetaText(GsfDocMetaData* meta, const char* name)
{
    GsfDocProp* prop = gsf_doc_meta_data_lookup(meta, name);
    const GValue* value = prop ? gsf_doc_prop_get_val(prop) : nullptr;
    if (value && G_VALUE_HOLDS_STRING(value))
        return QString::fromUtf8(g_value_get_string(value));
    return {};
}

TFileTime MetaTime(GsfDocMetaData* meta, const char* name)
{
    GsfDocProp* prop = gsf_doc_meta_data_lookup(meta, name);
    const GValue* value = prop ? gsf_doc_prop_get_val(prop) : nullptr;
    if (!value || !VAL_IS_GSF_TIMESTAMP(value))
        return 0;
    auto* stamp = static_cast<GsfTimestamp*>(g_value_get_boxed(value));
    char* text = stamp ? gsf_timestamp_as_string(stamp) : nullptr;
    const TFileTime result = text ? FromIso(QString::fromUtf8(text)) : 0;
    g_free(text);
    return result;
}

// In OLE2 summary information the author is "dc:creator"; in OpenDocument
// files "dc:creator" is whoever saved last and the author is the initial creator.
void FromMetaData(GsfDocMetaData* meta, const char* authorName, TDocumentProperties& p)
{
    p.Author = MetaText(meta, authorName);
    if (p.Author.isEmpty())
        p.Author = MetaText(meta, GSF_META_NAME_CREATOR);
    p.LastSaved = MetaTime(meta, GSF_META_NAME_DATE_MODIFIED);
}

QByteArray ReadAll(GsfInput* input)
{
    const gsf_off_t size = gsf_input_size(input);
    if (size <= 0 || size > 16 * 1024 * 1024)
        return {};
    QByteArray data(qsizetype(size), Qt::Uninitialized);
    if (!gsf_input_read(input, size_t(size), reinterpret_cast<guint8*>(data.data())))
        return {};
    return data;
}

void FromCoreXml(const QByteArray& xml, TDocumentProperties& p)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = reader.name();
        if (name == QLatin1String("creator") && p.Author.isEmpty())
            p.Author = reader.readElementText();
        else if (name == QLatin1String("modified"))
            p.LastSaved = FromIso(reader.readElementText());
    }
}

} // namespace

TDocumentProperties ReadDocumentProperties(const QString& path)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { gsf_init(); });

    TDocumentProperties result;
    const std::string local = ToLocalPath(path);
    TGObject<GsfInput> input(gsf_input_stdio_new(local.c_str(), nullptr));
    if (!input)
        return result;
    if (TGObject<GsfInfile> ole(gsf_infile_msole_new(input.Ptr, nullptr)); ole) {
        TGObject<GsfInput> summary(gsf_infile_child_by_name(ole.Ptr, "\005SummaryInformation"));
        if (!summary)
            return result;
        TGObject<GsfDocMetaData> meta(gsf_doc_meta_data_new());
        if (GError* error = gsf_doc_meta_data_read_from_msole(meta.Ptr, summary.Ptr))
            g_error_free(error);
        else
            FromMetaData(meta.Ptr, GSF_META_NAME_CREATOR, result);
        return result;
    }
    gsf_input_seek(input.Ptr, 0, G_SEEK_SET);
    TGObject<GsfInfile> zip(gsf_infile_zip_new(input.Ptr, nullptr));
    if (!zip)
        return result;
    if (TGObject<GsfInput> core(gsf_infile_child_by_vname(zip.Ptr, "docProps", "core.xml", nullptr)); core) {
        FromCoreXml(ReadAll(core.Ptr), result);
    } else if (TGObject<GsfInput> odf(gsf_infile_child_by_name(zip.Ptr, "meta.xml")); odf) {
        TGObject<GsfDocMetaData> meta(gsf_doc_meta_data_new());
        if (GError* error = gsf_doc_meta_data_read_from_odf(meta.Ptr, odf.Ptr))
            g_error_free(error);
        else
            FromMetaData(meta.Ptr, GSF_META_NAME_INITIAL_CREATOR, result);
    }
    return result;
}

QString GetDocumentAuthor(const QString& path)
{
    return ReadDocumentProperties(path).Author;
}

TFileTime GetDocumentLastSaved(const QString& path)
{
    return ReadDocumentProperties(path).LastSaved;
}

} // namespace kelvane
