#pragma once
#include <QString>
#include <cstdint>

namespace kelvane {

// What an unattended run does when a root's scan has finished.
struct TPostProcessInformation {
    enum EFlag : uint16_t {
        ppExcel = 0x0002,
        ppText = 0x0004,
        ppPrint = 0x0008,
        ppChart = 0x0010,
        ppHtml = 0x0020,
        ppFileList = 0x0040,
        ppEmail = 0x0080,
        ppXml = 0x0100,
        ppCompare = 0x0200,
        ppExtensionsList = 0x0400,
        ppUsersList = 0x0800,
    };

    uint16_t Flags = 0;
    QString ExcelFile;
    QString HtmlFile;
    QString TextFile;
    QString ChartFile;
    QByteArray MailTo;
    QString XmlFile;
    QString CompareFile;
    QString ExtensionsFile;
    QString UsersFile;
    bool PrintFirstLevelOnly = false;

    bool operator==(const TPostProcessInformation&) const = default;
};

} // namespace kelvane
