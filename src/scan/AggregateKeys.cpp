#include "AggregateKeys.h"

#include <deque>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace kelvane {
namespace {

struct TTable {
    std::shared_mutex Lock;
    std::deque<std::string> Keys; // stable addresses
    std::unordered_map<std::string, uint32_t> Ids; // by folded key
};

TTable& Table()
{
    static TTable table;
    return table;
}

std::string Folded(std::string_view key)
{
    bool ascii = true;
    for (char c : key)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii)
        return QString::fromUtf8(key.data(), qsizetype(key.size())).toCaseFolded().toStdString();
    std::string folded(key);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return folded;
}

struct TTransparentHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

// Each scan thread remembers the keys it has met, so that the shared table
// is asked only once per key and thread.
thread_local std::unordered_map<std::string, uint32_t, TTransparentHash, std::equal_to<>> t_known;

} // namespace

uint32_t TAggregateKeys::Intern(std::string_view utf8Key)
{
    if (auto it = t_known.find(utf8Key); it != t_known.end())
        return it->second;
    const uint32_t id = InternShared(utf8Key);
    t_known.emplace(std::string(utf8Key), id);
    return id;
}

uint32_t TAggregateKeys::InternShared(std::string_view utf8Key)
{
    TTable& t = Table();
    const std::string folded = Folded(utf8Key);
    {
        std::shared_lock lock(t.Lock);
        if (auto it = t.Ids.find(folded); it != t.Ids.end())
            return it->second;
    }
    std::unique_lock lock(t.Lock);
    if (auto it = t.Ids.find(folded); it != t.Ids.end())
        return it->second;
    const uint32_t id = uint32_t(t.Keys.size());
    t.Keys.emplace_back(utf8Key);
    t.Ids.emplace(folded, id);
    return id;
}

const std::string& TAggregateKeys::Key(uint32_t id)
{
    TTable& t = Table();
    std::shared_lock lock(t.Lock);
    return t.Keys.at(id);
}

QString TAggregateKeys::KeyText(uint32_t id)
{
    return QString::fromStdString(Key(id));
}

uint32_t TAggregateKeys::Find(const QString& key)
{
    TTable& t = Table();
    const QByteArray utf8 = key.toUtf8();
    const std::string folded = Folded(std::string_view(utf8.constData(), size_t(utf8.size())));
    std::shared_lock lock(t.Lock);
    const auto it = t.Ids.find(folded);
    return it == t.Ids.end() ? UINT32_MAX : it->second;
}

} // namespace kelvane
