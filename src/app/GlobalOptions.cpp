#include "GlobalOptions.h"

#include "ApplicationInfo.h"
#include "SettingsPersistence.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kelvane {
namespace {

TGlobalOptions* g_options = nullptr;

QString ExecutableFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

bool HasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

} // namespace

bool HasNoGuiSwitch(const QStringList& arguments)
{
    for (const QString& a : arguments) {
        QString s = a;
        while (s.startsWith(QLatin1Char('-')))
            s.remove(0, 1);
        if (a.startsWith(QLatin1Char('/')))
            s = a.mid(1);
        if (s.compare(QLatin1String("NOGUI"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TGlobalOptions::TGlobalOptions(const QStringList& arguments, QObject* parent)
    : TBraskGlobalOptions(parent)
    , FNoWindow(HasNoGuiSwitch(arguments))
{
    for (int i = 0; i < MediumCount; ++i) {
        FMedia[size_t(i)] = new TMediaSettings(this);
        FMedia[size_t(i)]->setObjectName(QStringLiteral("Media%1").arg(i));
    }
    IncludePatternList.Add(QStringLiteral("*"));
    HTMLStyleSheet = ExecutableFolder() + QStringLiteral("/dromlet.css");
    // A machine without a graphical session is treated as a server.
    DefaultValueAutomaticUpdates = HasDisplay();
    Load();
}

TGlobalOptions::~TGlobalOptions()
{
    if (g_options == this)
        g_options = nullptr;
}

void TGlobalOptions::Load()
{
    TBraskGlobalOptions::Load();
    if (!IsXmlMode()) {
        TSettingsPersistence persistence(Settings());
        for (int i = 0; i < MediumCount; ++i)
            persistence.LoadObject(FMedia[size_t(i)], FMedia[size_t(i)]->objectName());
        FLoadErrors.append(persistence.Errors);
        Columns.Load(Settings());
        Settings().beginGroup(QStringLiteral("Shell Column"));
        ShellColumnDecimals = qBound(0, Settings().value(QStringLiteral("Decimals"), 1).toInt(), 9);
        ShellColumnUnit = qBound(0, Settings().value(QStringLiteral("Unit"), int(viewtypes::Mega)).toInt(), 6);
        Settings().endGroup();
    }
    if (ViewType == viewtypes::vt_wasted)
        ViewType = viewtypes::vt_size;
    ComputeHistoryFilePath();
}

void TGlobalOptions::Save()
{
    TBraskGlobalOptions::Save();
    if (IsXmlMode())
        return;
    TSettingsPersistence persistence(Settings());
    persistence.SetRunOnlyValues(&RunOnlyValues());
    for (int i = 0; i < MediumCount; ++i)
        persistence.SaveObject(FMedia[size_t(i)], FMedia[size_t(i)]->objectName(), FMedia[size_t(i)]->objectName());
    Columns.Save(Settings());
    Settings().beginGroup(QStringLiteral("Shell Column"));
    Settings().setValue(QStringLiteral("Decimals"), ShellColumnDecimals);
    Settings().setValue(QStringLiteral("Unit"), ShellColumnUnit);
    Settings().endGroup();
    Settings().sync();
}

void TGlobalOptions::SetIncludePatternsForRun(const QString& text)
{
    RememberRunOnlyValue(QStringLiteral("IncludePatterns"), IncludePatternList.Patterns());
    IncludePatternList.SetPatternsText(text);
}

void TGlobalOptions::SetExcludePatternsForRun(const QString& text)
{
    RememberRunOnlyValue(QStringLiteral("ExcludePatterns"), ExcludePatternList.Patterns());
    ExcludePatternList.SetPatternsText(text);
}

void TGlobalOptions::SetSpaceWidth(int measured)
{
    FSpaceWidth = measured > 2 ? measured : 4;
}

void TGlobalOptions::ComputeHistoryFilePath()
{
    const QString folder = ShareHistroyFile
        ? QStringLiteral("/var/lib/kelvane")
        : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + OrganizationName()
            + QLatin1Char('/') + ApplicationTitle();
    QDir().mkpath(folder);
    FHistoryFilePath = folder + QStringLiteral("/scanhistory.xml");
}

TGlobalOptions& GlobalOptions()
{
    Q_ASSERT(g_options);
    return *g_options;
}

bool HasGlobalOptions()
{
    return g_options != nullptr;
}

void SetGlobalOptions(TGlobalOptions* options)
{
    g_options = options;
}

} // namespace kelvane
