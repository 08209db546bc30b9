#pragma once
#include <QHash>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <pugixml.hpp>

namespace kelvane {

// Generic persistence of an options object's published properties: in the
// user's settings file, or, in XML mode, in an XML document. Values changed
// by name for one run are remembered so that saving writes what the user had.
class TBraskGlobalOptions : public QObject {
    Q_OBJECT
public:
    explicit TBraskGlobalOptions(QObject* parent = nullptr);
    // XML mode: folder (the application's data folder when empty) and file
    // name form the document's path; with load set it is read at once.
    TBraskGlobalOptions(const QString& folder, const QString& fileName, bool load, QObject* parent = nullptr);
    ~TBraskGlobalOptions() override;

    virtual void Load();
    virtual void Save();

    // Any other persistent object under its own key (column layouts, lists).
    void LoadObject(QObject* object, const QString& key);
    void SaveObject(const QObject* object, const QString& key);

    // Sets "Name" or "Object\Name" from text for this run only. Returns an
    // empty text on success, else the error text.
    QString SetOptionByName(const QString& name, const QString& value);
    // Remembers the value a property had before this run changed it.
    void RememberRunOnlyValue(const QString& key, const QVariant& original);
    bool HasRunOnlyValues() const { return !FRunOnly.isEmpty(); }

    // Problems met while loading (refused values, unreadable XML); the caller
    // reports them.
    QStringList TakeLoadErrors();

    bool IsXmlMode() const { return FXmlMode; }
    QString XmlFileName() const { return FXmlFile; }
    bool SaveXmlDocument();

    QSettings& Settings();

protected:
    QStringList FLoadErrors;
    const QHash<QString, QVariant>& RunOnlyValues() const { return FRunOnly; }
    pugi::xml_document& Document() { return FDocument; }

private:
    std::unique_ptr<QSettings> FSettings;
    QHash<QString, QVariant> FRunOnly;
    bool FXmlMode = false;
    QString FXmlFile;
    pugi::xml_document FDocument;
};

} // namespace kelvane
