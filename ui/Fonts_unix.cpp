// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Fonts.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace ui::fonts {

namespace {

template <typename T, void (*destroy)(T *)>
using Owned = std::unique_ptr<T, std::integral_constant<decltype(destroy), destroy>>;

QString familyOf(FcPattern *font)
{
    FcChar8 *family = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(family));
}

/// The name by which Qt lists an installed face, known to fontconfig under any of its names: a
/// Japanese locale lists IPAPMincho as "IPA P明朝". Empty when no such face is installed. Listing
/// searches nothing; asking Qt for a face it lacks would make it search every installed font.
QString installedName(const QByteArray &face)
{
    const Owned<FcPattern, FcPatternDestroy> pattern(
        FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, face.constData(), static_cast<char *>(nullptr)));
    const Owned<FcObjectSet, FcObjectSetDestroy> family(FcObjectSetBuild(FC_FAMILY, static_cast<char *>(nullptr)));
    const Owned<FcFontSet, FcFontSetDestroy> fonts(FcFontList(nullptr, pattern.get(), family.get()));
    if (!fonts || fonts->nfont == 0)
        return {};
    return familyOf(fonts->fonts[0]);
}

/// The face fontconfig prefers for Japanese text of a generic kind ("serif"), if one covers Japanese.
QString japaneseFaceOfKind(const QByteArray &generic)
{
    const Owned<FcPattern, FcPatternDestroy> pattern(FcPatternBuild(
        nullptr, FC_FAMILY, FcTypeString, generic.constData(), FC_LANG, FcTypeString, "ja", static_cast<char *>(nullptr)));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    const Owned<FcPattern, FcPatternDestroy> match(FcFontMatch(nullptr, pattern.get(), &result));
    FcLangSet *languages = nullptr;
    if (!match || FcPatternGetLangSet(match.get(), FC_LANG, 0, &languages) != FcResultMatch
        || FcLangSetHasLang(languages, reinterpret_cast<const FcChar8 *>("ja")) != FcLangEqual)
        return {};
    return familyOf(match.get());
}

/// The proportional face, under the name Qt knows it by, where it is installed; without it the
/// Japanese face fontconfig prefers of the same kind, whichever the desktop carries (IPA, Noto CJK
/// and the like); and without a Japanese face, the generic kind itself.
QStringList facesToAskFor(const char *face, const char *generic)
{
    if (const QString name = installedName(face); !name.isEmpty())
        return {name};
    if (const QString name = japaneseFaceOfKind(generic); !name.isEmpty())
        return {name};
    return {QString::fromLatin1(generic)};
}

} // namespace

QStringList gothicFaces()
{
    return facesToAskFor("IPAPGothic", "sans-serif");
}

QStringList minchoFaces()
{
    return facesToAskFor("IPAPMincho", "serif");
}

} // namespace ui::fonts
