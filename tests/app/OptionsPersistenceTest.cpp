#include "app/Collection.h"
#include "app/GlobalOptions.h"
#include "app/PublishedProperties.h"
#include "app/SettingsPersistence.h"
#include "app/XmlPersistence.h"

#include <QSettings>
#include <QTemporaryDir>
#include <glib.h>
#include <gtest/gtest.h>
#include <sstream>

using namespace kelvane;

// Objects with one property of every stored kind.
class TSampleItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(int Width MEMBER Width)
public:
    Q_INVOKABLE explicit TSampleItem(QObject* parent = nullptr) : QObject(parent) {}
    QString Caption;
    int Width = 10;
};

class TWideSampleItem : public TSampleItem {
    Q_OBJECT
    Q_PROPERTY(bool Wide MEMBER Wide)
public:
    using TSampleItem::TSampleItem;
    bool Wide = false;
};

class TSampleCollection : public TCollection {
    Q_OBJECT
public:
    using TCollection::TCollection;

protected:
    QObject* CreateItem(const QString& className) override
    {
        if (className == QLatin1String("TWideSampleItem"))
            return new TWideSampleItem;
        return new TSampleItem;
    }
};

class TSampleNested : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(QString Text MEMBER Text)
public:
    using QObject::QObject;
    bool Flag = true;
    QString Text = QStringLiteral("nested");
};

class TSampleOptions : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Range:Count", "1..32")
    Q_PROPERTY(int Count MEMBER Count)
    Q_PROPERTY(bool Enabled MEMBER Enabled)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(qlonglong Big MEMBER Big)
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(TMode Mode MEMBER Mode)
    Q_PROPERTY(TParts Parts READ GetParts WRITE SetParts)
    Q_PROPERTY(QStringList Paths MEMBER Paths)
    Q_PROPERTY(TSampleNested* Nested READ GetNested)
    Q_PROPERTY(TSampleCollection* Columns READ GetColumns)
    Q_PROPERTY(int Transient MEMBER Transient STORED false)
public:
    enum TMode { mdFirst, mdSecond, mdThird };
    Q_ENUM(TMode)
    enum TPart { ptA = 1, ptB = 2, ptC = 4 };
    Q_DECLARE_FLAGS(TParts, TPart)
    Q_FLAG(TParts)

    TSampleOptions()
    {
        FNested.setObjectName("Nested");
        FColumns.setObjectName("Columns");
        FColumns.AddItem();
    }
    TSampleNested* GetNested() { return &FNested; }
    TParts GetParts() const { return Parts; }
    void SetParts(TParts parts) { Parts = parts; }
    TSampleCollection* GetColumns() { return &FColumns; }

    int Count = 8;
    bool Enabled = false;
    double Ratio = 0.25;
    qlonglong Big = 1;
    QString Name = QStringLiteral("default");
    TMode Mode = mdFirst;
    TParts Parts = ptA;
    QStringList Paths;
    int Transient = 3;

private:
    TSampleNested FNested;
    TSampleCollection FColumns;
};

namespace {

void Change(TSampleOptions& o)
{
    o.Count = 17;
    o.Enabled = true;
    o.Ratio = 1.0 / 3.0;
    o.Big = 5'000'000'000LL;
    o.Name = QStringLiteral("Grüße, \"quoted\"; and/slash\\back");
    o.Mode = TSampleOptions::mdThird;
    o.Parts = TSampleOptions::TParts(TSampleOptions::ptB) | TSampleOptions::ptC;
    o.Paths = {"/srv/a", "", "/srv/c, with comma"};
    o.GetNested()->Flag = false;
    o.GetNested()->Text = "changed";
    qobject_cast<TSampleItem*>(o.GetColumns()->Item(0))->Caption = "Size";
    auto* wide = qobject_cast<TWideSampleItem*>(o.GetColumns()->AddItem("TWideSampleItem"));
    wide->Wide = true;
    wide->Width = 400;
    o.Transient = 99;
}

void ExpectChanged(TSampleOptions& o)
{
    EXPECT_EQ(o.Count, 17);
    EXPECT_TRUE(o.Enabled);
    EXPECT_DOUBLE_EQ(o.Ratio, 1.0 / 3.0);
    EXPECT_EQ(o.Big, 5'000'000'000LL);
    EXPECT_EQ(o.Name, QStringLiteral("Grüße, \"quoted\"; and/slash\\back"));
    EXPECT_EQ(o.Mode, TSampleOptions::mdThird);
    EXPECT_EQ(o.Parts, TSampleOptions::TParts(TSampleOptions::ptB) | TSampleOptions::ptC);
    EXPECT_EQ(o.Paths, (QStringList{"/srv/a", "", "/srv/c, with comma"}));
    EXPECT_FALSE(o.GetNested()->Flag);
    EXPECT_EQ(o.GetNested()->Text, "changed");
    ASSERT_EQ(o.GetColumns()->Count(), 2);
    EXPECT_EQ(qobject_cast<TSampleItem*>(o.GetColumns()->Item(0))->Caption, "Size");
    auto* wide = qobject_cast<TWideSampleItem*>(o.GetColumns()->Item(1));
    ASSERT_NE(wide, nullptr) << "the extra item is made from its stored class name";
    EXPECT_TRUE(wide->Wide);
    EXPECT_EQ(wide->Width, 400);
    EXPECT_EQ(o.Transient, 3) << "unstored properties keep their defaults";
}

class SettingsFile : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Path() const { return Dir.filePath("settings.conf"); }
};

TEST_F(SettingsFile, EveryKindRoundTrips)
{
    {
        TSampleOptions o;
        Change(o);
        QSettings s(Path(), QSettings::IniFormat);
        TSettingsPersistence(s).SaveObject(&o, {});
    }
    TSampleOptions back;
    QSettings s(Path(), QSettings::IniFormat);
    TSettingsPersistence p(s);
    p.LoadObject(&back, {});
    EXPECT_TRUE(p.Errors.isEmpty()) << p.Errors.join("; ").toStdString();
    ExpectChanged(back);
}

TEST_F(SettingsFile, MissingValuesGiveDefaultsAndBadValuesAreRefused)
{
    {
        QSettings s(Path(), QSettings::IniFormat);
        s.setValue("Count", 0);   // below the range
        s.setValue("Mode", 7);    // no such enumerator
        s.setValue("Enabled", "perhaps");
        s.setValue("Ratio", "0.5");
    }
    TSampleOptions o;
    QSettings s(Path(), QSettings::IniFormat);
    TSettingsPersistence p(s);
    p.LoadObject(&o, {});
    EXPECT_EQ(o.Count, 8);
    EXPECT_EQ(o.Mode, TSampleOptions::mdFirst);
    EXPECT_FALSE(o.Enabled);
    EXPECT_DOUBLE_EQ(o.Ratio, 0.5);
    EXPECT_EQ(o.Name, "default");
    EXPECT_EQ(p.Errors.size(), 3) << p.Errors.join("; ").toStdString();
}

TEST_F(SettingsFile, ShorterStringListLeavesNoStaleEntries)
{
    QSettings s(Path(), QSettings::IniFormat);
    TSampleOptions o;
    o.Paths = {"a", "b", "c"};
    TSettingsPersistence(s).SaveObject(&o, {});
    o.Paths = {"z"};
    TSettingsPersistence(s).SaveObject(&o, {});
    s.beginGroup("Paths");
    EXPECT_EQ(s.childKeys().size(), 2) << s.childKeys().join(",").toStdString(); // Count and 0
    s.endGroup();
    TSampleOptions back;
    TSettingsPersistence(s).LoadObject(&back, {});
    EXPECT_EQ(back.Paths, QStringList{"z"});
}

TEST(XmlFormat, EveryKindRoundTripsAndRewritesInPlace)
{
    TSampleOptions o;
    Change(o);
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("GlobalOptions");
    TXmlPersistence::WriteProperties(root, &o);
    TXmlPersistence::WriteProperties(root, &o); // again: updates, never duplicates
    EXPECT_STREQ(root.attribute("Type").value(), "TSampleOptions");
    EXPECT_STREQ(root.child("Enabled").child_value(), "True");
    EXPECT_STREQ(root.child("Mode").child_value(), "2");
    EXPECT_STREQ(root.child("Paths").child("String2").child_value(), "/srv/c, with comma");
    EXPECT_STREQ(root.child("Columns").child("CollectionItem1").attribute("Type").value(), "TWideSampleItem");
    EXPECT_FALSE(root.child("Transient"));
    int countElements = 0;
    for (pugi::xml_node n : root.children("Count"))
        (void)n, ++countElements;
    EXPECT_EQ(countElements, 1);

    std::ostringstream text;
    doc.save(text);
    pugi::xml_document reread;
    ASSERT_TRUE(reread.load_string(text.str().c_str()));
    TSampleOptions back;
    QStringList errors;
    TXmlPersistence::ReadProperties(reread.child("GlobalOptions"), &back, &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
    ExpectChanged(back);
}

TEST(PublishedProperties, SetByName)
{
    TSampleOptions o;
    EXPECT_EQ(SetPropertyByName(&o, "count", "12"), QString());
    EXPECT_EQ(o.Count, 12);
    EXPECT_EQ(SetPropertyByName(&o, "Nested\\Text", "x"), QString());
    EXPECT_EQ(o.GetNested()->Text, "x");
    EXPECT_EQ(SetPropertyByName(&o, "Mode", "mdSecond"), QString());
    EXPECT_EQ(o.Mode, TSampleOptions::mdSecond);
    EXPECT_EQ(SetPropertyByName(&o, "Enabled", "yes"), QString());
    EXPECT_TRUE(o.Enabled);
    EXPECT_EQ(SetPropertyByName(&o, "Nope", "1"), "Property Nope does not exist");
    EXPECT_EQ(SetPropertyByName(&o, "Nested\\Nope", "1"), "Property Nested\\Nope does not exist");
    EXPECT_FALSE(SetPropertyByName(&o, "Count", "100").isEmpty());
    EXPECT_EQ(o.Count, 12) << "an out-of-range value is refused";
    EXPECT_FALSE(SetPropertyByName(&o, "Count", "many").isEmpty());
}

class GlobalOptionsFile : public ::testing::Test {
protected:
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }
};

TEST_F(GlobalOptionsFile, FreshUserGetsDefaults)
{
    TGlobalOptions o;
    EXPECT_EQ(o.RefreshInterval, 10000);
    EXPECT_TRUE(o.GroupExtensions);
    EXPECT_FALSE(o.GroupUsers);
    EXPECT_EQ(o.IncludePatternList.Patterns(), QStringList{"*"});
    EXPECT_TRUE(o.ExcludePatternList.IsEmpty());
    EXPECT_EQ(o.MaximumThreads, 8);
    EXPECT_EQ(o.ViewType, viewtypes::vt_size);
    EXPECT_EQ(o.SortType, viewtypes::stSize);
    EXPECT_EQ(o.SizeUnit, viewtypes::Mega);
    EXPECT_EQ(o.ThreadPriority, threadpriority::tpLower);
    EXPECT_EQ(o.NumberOfTopFiles, 100);
    EXPECT_EQ(o.Decimals, 1);
    EXPECT_FALSE(o.Media(emText).ExportFullBranch);
    EXPECT_TRUE(o.Media(emHtml).IncludeHeader);
    EXPECT_TRUE(o.HistoryFilePath().endsWith("/Brask Software/Kelvane Professional/scanhistory.xml"));
    EXPECT_TRUE(o.TakeLoadErrors().isEmpty());
}

TEST_F(GlobalOptionsFile, SavedValuesComeBack)
{
    {
        TGlobalOptions o;
        o.GroupUsers = true;
        o.SizeUnit = viewtypes::Giga;
        o.StartupBehaviour = TGlobalOptions::sbLastPaths;
        o.StartupPaths = {"/srv", "/home"};
        o.ExcludePatternList.SetPatternsText("*.tmp; cache");
        o.Media(emText).ExportFullBranch = true;
        o.ArchiveBitFilesOnly = true; // not stored
        o.ShellColumnDecimals = 3;
        o.Save();
    }
    TGlobalOptions o;
    EXPECT_TRUE(o.GroupUsers);
    EXPECT_EQ(o.SizeUnit, viewtypes::Giga);
    EXPECT_EQ(o.StartupBehaviour, TGlobalOptions::sbLastPaths);
    EXPECT_EQ(o.StartupPaths, (QStringList{"/srv", "/home"}));
    EXPECT_EQ(o.ExcludePatternList.Patterns(), (QStringList{"*.TMP", "*CACHE*"}));
    EXPECT_TRUE(o.Media(emText).ExportFullBranch);
    EXPECT_FALSE(o.ArchiveBitFilesOnly);
    EXPECT_EQ(o.ShellColumnDecimals, 3);
}

TEST_F(GlobalOptionsFile, StoredWastedViewTypeReadsAsSize)
{
    QSettings().setValue("ViewType", int(viewtypes::vt_wasted));
    EXPECT_EQ(TGlobalOptions().ViewType, viewtypes::vt_size);
}

TEST_F(GlobalOptionsFile, OutOfRangeStoredValueIsRefused)
{
    QSettings().setValue("MaximumThreads", 100);
    TGlobalOptions o;
    EXPECT_EQ(o.MaximumThreads, 8);
    const QStringList errors = o.TakeLoadErrors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains("MaximumThreads"));
}

TEST_F(GlobalOptionsFile, RunOverridesAreNeverSaved)
{
    {
        TGlobalOptions o;
        EXPECT_EQ(o.SetOptionByName("maximumthreads", "4"), QString());
        EXPECT_EQ(o.SetOptionByName("Media2\\IncludeHeader", "false"), QString());
        EXPECT_EQ(o.SetOptionByName("NoSuchOption", "true"), "Property NoSuchOption does not exist");
        o.SetExcludePatternsForRun("*.iso");
        EXPECT_EQ(o.MaximumThreads, 4);
        EXPECT_FALSE(o.Media(2).IncludeHeader);
        o.Decimals = 2; // changed by the user, not by the command line
        o.Save();
    }
    TGlobalOptions o;
    EXPECT_EQ(o.MaximumThreads, 8);
    EXPECT_TRUE(o.Media(2).IncludeHeader);
    EXPECT_TRUE(o.ExcludePatternList.IsEmpty());
    EXPECT_EQ(o.Decimals, 2);
}

TEST_F(GlobalOptionsFile, ShellColumnValuesReadableWithoutQt)
{
    {
        TGlobalOptions o;
        o.ShellColumnDecimals = 2;
        o.ShellColumnUnit = viewtypes::Giga;
        o.Save();
    }
    const QByteArray file = QSettings().fileName().toLocal8Bit();
    GKeyFile* keys = g_key_file_new();
    ASSERT_TRUE(g_key_file_load_from_file(keys, file.constData(), G_KEY_FILE_NONE, nullptr));
    GError* error = nullptr;
    EXPECT_EQ(g_key_file_get_integer(keys, "Shell%20Column", "Decimals", &error), 2);
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(g_key_file_get_integer(keys, "Shell%20Column", "Unit", &error), 3);
    g_key_file_free(keys);
}

TEST(GlobalOptions, NoGuiSwitch)
{
    EXPECT_TRUE(HasNoGuiSwitch({"/data", "/nogui"}));
    EXPECT_TRUE(HasNoGuiSwitch({"-NOGUI"}));
    EXPECT_TRUE(HasNoGuiSwitch({"--nogui"}));
    EXPECT_FALSE(HasNoGuiSwitch({"/data/NOGUI"}));
    EXPECT_FALSE(HasNoGuiSwitch({"/NOGUIX"}));
}

} // namespace

#include "OptionsPersistenceTest.moc"
