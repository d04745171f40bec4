/* doc_keys.cpp - an option's value as a show document setting (doc_keys.h). */
#include "doc_keys.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool ends_with(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool numeric_key(const std::string& key)
{
    const size_t dot = key.rfind('.');
    const std::string last = dot == std::string::npos ? key : key.substr(dot + 1);
    for (const char* k : {"seed", "zoom", "size", "width", "dx", "dy", "blur", "angle", "count_from", "count_to",
                          "tone_level", "music_level"})
        if (last == k)
            return true;
    return ends_with(last, "_ms");
}

/* An option's font is always a file, while the document reads a bare name
   without a font's ending as a family name: such a file is named "./NAME". */
std::string file_value(const std::string& key, const std::string& value)
{
    if (!ends_with(key, ".font") || value.find('/') != std::string::npos)
        return value;
    const size_t dot = value.rfind('.');
    std::string ext = dot == std::string::npos ? "" : value.substr(dot + 1);
    for (char& c : ext)
        c = (char)tolower((unsigned char)c);
    for (const char* e : {"ttf", "otf", "ttc", "otc", "pfa", "pfb", "woff", "woff2"})
        if (ext == e)
            return value;
    return "./" + value;
}

std::string json_text(const std::string& s)
{
    return nlohmann::json(s).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

bool doc_option_setting(const char* doc_key, const char* option, const char* value,
                        std::vector<show_doc_setting>* settings)
{
    if (!doc_key || strcmp(doc_key, "lines") == 0 || strcmp(doc_key, "credits") == 0)
        return false;
    const std::string name = std::string("--") + option;
    const char* at = doc_key;
    while (*at) {
        const char* end = strchr(at, ' ');
        if (!end)
            end = at + strlen(at);
        std::string key(at, (size_t)(end - at)), json;
        const size_t equals = key.find('=');
        if (equals != std::string::npos) {  // "layout=adapt", "sound.loop=false"
            const std::string fixed = key.substr(equals + 1);
            json = fixed == "true" || fixed == "false" ? fixed : json_text(fixed);
            key.resize(equals);
        } else if (!value) {
            json = "true";
        } else if (numeric_key(key) && (isdigit((unsigned char)*value) || *value == '-' || *value == '+')) {
            // The option's parser has read it ("007", "-6.5"); written as JSON.
            const double d = strtod(value, nullptr);
            json = d == (double)(long long)d ? nlohmann::json((long long)d).dump() : nlohmann::json(d).dump();
        } else {  // a text, also a number's word ("--closing-ms music")
            json = json_text(file_value(key, value));
        }
        settings->push_back({key, json, name});
        at = *end ? end + 1 : end;
    }
    return true;
}
