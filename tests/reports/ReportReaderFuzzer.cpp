// libFuzzer target: report, comparison and history readers on any bytes.
// Every input must end in a clear error or a root, never in a crash.
#include "app/GlobalOptions.h"
#include "reports/HistoryReader.h"
#include "reports/XMLReportComparer.h"
#include "reports/XMLReportReader.h"
#include "scan/Roots.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace kelvane;

namespace {
TRoots* g_roots = nullptr;
TRoot* g_target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    static TRoots roots;
    g_roots = &roots;
    // A loaded report to compare inputs with.
    static const QByteArray base = "<Root><Path>/fuzz/</Path><Folder fullpath=\"/fuzz/\" IsFilesNode=\"0\"><Name>/fuzz/</Name>"
                                   "<SizeData Size=\"5\" Allocated=\"8\" Wasted=\"3\" CDRom=\"2048\" Files=\"1\" Folders=\"0\" Compression=\"1\"/>"
                                   "</Folder></Root>";
    g_target = LoadXMLReportData(roots, base, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    if (TRoot* root = LoadXMLReportData(*g_roots, input, &error))
        g_roots->Remove(root);
    if (g_target)
        (void)CompareWithXMLReportData(*g_target, input, [](const QString&) { return true; });
    (void)ReadHistoryData(input, QStringLiteral("/fuzz/"), {}, &error);
    return 0;
}
