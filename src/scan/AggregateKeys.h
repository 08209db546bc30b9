#pragma once
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// Extension and owner keys are kept once for the whole program and stored
// in aggregates as small numbers. Keys compare ignoring case: the first
// spelling seen is the one shown.
class TAggregateKeys {
public:
    static uint32_t Intern(std::string_view utf8Key);
    static const std::string& Key(uint32_t id);
    static QString KeyText(uint32_t id);
    // The id of a key that was seen, or UINT32_MAX.
    static uint32_t Find(const QString& key);

private:
    static uint32_t InternShared(std::string_view utf8Key);
};

} // namespace kelvane
