// font_fallback_fontconfig.cpp - font_fallback.h through fontconfig: the best
// match for a sans-serif face whose character set holds the character.
#include "font_fallback.h"

#include <fontconfig/fontconfig.h>

namespace {

FcConfig* config;

}  // namespace

void font_fallback_done()
{
    if (config)
        FcConfigDestroy(config);
    config = nullptr;
}

bool font_fallback_find(char32_t c, std::string* path, int* index)
{
    if (!config)
        config = FcInitLoadConfigAndFonts();
    if (!config)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* wanted = FcCharSetCreate();
    FcCharSetAddChar(wanted, FcChar32(c));
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet* sorted = FcFontSort(config, pattern, FcFalse, nullptr, &result);
    bool found = false;
    for (int i = 0; sorted && i < sorted->nfont && !found; ++i) {
        FcCharSet* has = nullptr;
        FcChar8* file = nullptr;
        int face = 0;
        FcBool scalable = FcFalse;
        if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, c) ||
            FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
            (FcPatternGetBool(sorted->fonts[i], FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable))
            continue;
        FcPatternGetInteger(sorted->fonts[i], FC_INDEX, 0, &face);
        *path = reinterpret_cast<const char*>(file);
        *index = face;
        found = true;
    }
    if (sorted)
        FcFontSetDestroy(sorted);
    FcCharSetDestroy(wanted);
    FcPatternDestroy(pattern);
    return found;
}
