#pragma once
#include <QHash>
#include <QString>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

namespace kelvane {

// Caches account names by user id for the whole program. The account
// database is asked outside the lock; only "no such account" is cached as a
// failure, shown as the number (as ls does). The cache empties once a day.
class TSID2Username {
public:
    static TSID2Username& Instance();

    QString Lookup(uint32_t uid);
    // Replaces the account database (tests); empty: no such account.
    using TResolver = std::optional<QString> (*)(uint32_t uid, bool& failed);
    void SetResolver(TResolver resolver);
    void Clear();

    std::chrono::milliseconds Lifetime{86'400'000};

private:
    static std::optional<QString> SystemResolver(uint32_t uid, bool& failed);

    std::mutex FLock;
    QHash<uint32_t, QString> FEntries;
    std::chrono::steady_clock::time_point FLastCleared = std::chrono::steady_clock::now();
    TResolver FResolver = &SystemResolver;
};

// The owner's account name of a path, or the error text.
QString GetOwnerText(const QString& path);

} // namespace kelvane
