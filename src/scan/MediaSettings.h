#pragma once
#include <QObject>

namespace kelvane {

// Per export medium: whether the whole branch is exported (or only what is
// expanded in the tree) and whether a header is written.
class TMediaSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ExportFullBranch MEMBER ExportFullBranch)
    Q_PROPERTY(bool IncludeHeader MEMBER IncludeHeader)
public:
    using QObject::QObject;
    bool ExportFullBranch = false;
    bool IncludeHeader = true;
};

// The five export media, by index.
enum TExportMedium { emDetailsView = 0, emExcel, emText, emPrint, emHtml };
inline constexpr int MediumCount = 5;
const char* MediumName(int medium);

} // namespace kelvane
