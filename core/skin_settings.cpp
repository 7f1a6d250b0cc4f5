#include "core/skin_settings.h"

namespace zv {

std::map<std::string, SkinValue> skinSettings;

void initSkinSettings() {
    skinSettings.clear();
    skinSettings["ItemHeight"] = std::int16_t{20};
    skinSettings["UseGraphicalHL"] = true;
    skinSettings["IconOffsetY"] = std::int16_t{3};
    skinSettings["Font"] = std::string("Tahoma");
    skinSettings["FontSize"] = std::int16_t{8};
    skinSettings["TextOffsetX"] = std::int16_t{35};
    skinSettings["MenuArrowOffsetX"] = std::int16_t{176};
    skinSettings["MenuArrowOffsetY"] = std::int16_t{1};
    skinSettings["ItemWidth"] = std::int16_t{200};
}

std::int16_t skinNumber(const std::string& key) {
    auto it = skinSettings.find(key);
    if (it == skinSettings.end())
        return 0;
    const auto* n = std::get_if<std::int16_t>(&it->second);
    return n ? *n : 0;
}

bool skinSwitch(const std::string& key) {
    auto it = skinSettings.find(key);
    if (it == skinSettings.end())
        return false;
    const auto* b = std::get_if<bool>(&it->second);
    return b && *b;
}

std::string skinText(const std::string& key) {
    auto it = skinSettings.find(key);
    if (it == skinSettings.end())
        return {};
    const auto* s = std::get_if<std::string>(&it->second);
    return s ? *s : std::string();
}

} // namespace zv
