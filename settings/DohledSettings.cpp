#include "DohledSettings.h"

#include <optional>

#include "IniFile.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

using S = DohledSettings;

constexpr DohledKey kKeys[] = {
    {"Metriky", DohledKind::Text, nullptr, nullptr, &S::Metriky},
    {"SystemovyLog", DohledKind::Flag, &S::SystemovyLog},
    {"Utlum", DohledKind::Flag, &S::Utlum},
    {"UtlumPokusu", DohledKind::Number, nullptr, &S::UtlumPokusu, nullptr, 1, 1000},
    {"UtlumMaxSekund", DohledKind::Number, nullptr, &S::UtlumMaxSekund, nullptr, 10, 86400},
    {"ZdravySekund", DohledKind::Number, nullptr, &S::ZdravySekund, nullptr, 1, 86400},
    {"Prikaz", DohledKind::Text, nullptr, nullptr, &S::Prikaz},
    {"Webhook", DohledKind::Text, nullptr, nullptr, &S::Webhook},
    {"UpozorneniMinut", DohledKind::Number, nullptr, &S::UpozorneniMinut, nullptr, 0, 1440},
};

// Only plain decimal digits count here: the section is typed by hand, and "0x10" or "1e3" is more likely a slip
// than a wish.
std::optional<std::int32_t> plainNumber(std::string_view text, std::int32_t min, std::int32_t max)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

std::string complaint(const DohledKey& key, std::string_view value, std::string_view expected, std::string_view holds)
{
    std::string line = texts::kLogInvalidDohled;
    line.append(key.key).append("=").append(value);
    line.append(texts::kLogInvalidExpected).append(expected).append(texts::kLogInvalidHolds).append(holds);
    return line;
}

}  // namespace

std::span<const DohledKey> DohledKeys() { return kKeys; }

DohledSettings DohledSettings::Read(std::string_view iniText, std::vector<std::string>& complaints)
{
    const IniFile ini(iniText);
    DohledSettings s;
    for (const DohledKey& key : kKeys) {
        const std::optional<std::string> value = ini.readString(kSection, key.key);
        // A key left empty is as good as missing: the feature keeps its default.
        if (!value || (value->empty() && key.kind != DohledKind::Text))
            continue;
        switch (key.kind) {
        case DohledKind::Text:
            s.*key.text = *value;
            break;
        case DohledKind::Flag:
            if (*value == "0" || *value == "1")
                s.*key.flag = *value == "1";
            else
                complaints.push_back(complaint(key, *value, texts::kDohledFlag, "0"));
            break;
        case DohledKind::Number:
            if (const auto n = plainNumber(*value, key.min, key.max)) {
                s.*key.number = *n;
            } else {
                const std::string range = texts::kDohledNumberFrom + std::to_string(key.min) + texts::kDohledNumberTo +
                                          std::to_string(key.max);
                complaints.push_back(complaint(key, *value, range, std::to_string(s.*key.number)));
            }
            break;
        }
    }
    return s;
}

}  // namespace ovin
