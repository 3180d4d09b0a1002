#include "name_rule.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "name_columns.h"

namespace korvane::names {

namespace {

// Far more than 24 characters can take even written decomposed (a letter and its marks,
// 4 bytes each): a longer text is refused before it is normalised.
constexpr size_t kMaxNameBytes = 4096;

NameVerdict Refused(std::string why) {
    return {false, {}, std::move(why)};
}

std::string CodeOf(UChar32 c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

bool IsMark(UChar32 c) {
    return (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0;
}

// The text of well-formed UTF-8, or nothing (a surrogate written as UTF-8 is not).
std::optional<icu::UnicodeString> FromUtf8(std::string_view utf8) {
    icu::UnicodeString text;
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return std::nullopt;
        text.append(c);
    }
    return text;
}

// Why a character has no place in a name, if it has none.
std::optional<std::string> WhyRefused(UChar32 c) {
    switch (static_cast<UCharCategory>(u_charType(c))) {
        case U_CONTROL_CHAR:
        case U_SURROGATE:
        case U_PRIVATE_USE_CHAR:
        case U_UNASSIGNED:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
            return "a name holds only printable characters, not " + CodeOf(c);
        default:
            break;
    }
    // The direction marks, embeddings, overrides and isolates turn the table's text around
    // the name; said apart, as they are the ones a player may have meant.
    if (u_hasBinaryProperty(c, UCHAR_BIDI_CONTROL)) {
        return "a name holds no characters that turn the text's direction, such as " + CodeOf(c);
    }
    // What draws nothing yet changes the text around it: the zero-width spaces and joiners,
    // the variation selectors, the Hangul fillers, the whole block of tag characters
    // (U+E0000..U+E0FFF are default-ignorable, assigned or not).
    if (u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) {
        return "a name holds no invisible characters, such as " + CodeOf(c);
    }
    return std::nullopt;
}

// Whether the character draws something by itself: not a space or another separator, not
// a format character, not a mark (which draws on a letter). The blank Braille cell is a
// symbol that draws nothing, and no Unicode property says so.
bool Shows(UChar32 c) {
    return u_isgraph(c) && !IsMark(c) && c != 0x2800;
}

// The most combining marks on one letter of a canonically decomposed text, so that a mark
// NFC joined to its letter counts as one.
int MostMarksOnALetter(const icu::UnicodeString& decomposed) {
    int most = 0;
    int marks = 0;
    for (int32_t i = 0; i < decomposed.length(); i = decomposed.moveIndex32(i, 1)) {
        marks = IsMark(decomposed.char32At(i)) ? marks + 1 : 0;
        most = std::max(most, marks);
    }
    return most;
}

}  // namespace

NameVerdict CheckName(std::string_view utf8) {
    const std::string lengths = "a name has 1 to " + std::to_string(kMaxNameCharacters) +
                                " characters";
    if (utf8.size() > kMaxNameBytes) return Refused(lengths);
    const std::optional<icu::UnicodeString> text = FromUtf8(utf8);
    if (!text) return Refused("the name is not UTF-8 text");
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString name, decomposed;
    if (U_SUCCESS(status)) name = nfc->normalize(*text, status);
    if (U_SUCCESS(status)) decomposed = nfd->normalize(name, status);
    if (U_FAILURE(status)) {
        return Refused(std::string("names cannot be checked here (") + u_errorName(status) + ")");
    }
    const int32_t count = name.countChar32();
    if (count < 1 || count > kMaxNameCharacters) {
        return Refused(lengths + ", this one " + std::to_string(count));
    }
    int columns = 0;
    bool shows = false;
    for (int32_t i = 0; i < name.length(); i = name.moveIndex32(i, 1)) {
        const UChar32 c = name.char32At(i);
        if (std::optional<std::string> why = WhyRefused(c)) return Refused(*why);
        const int width = ColumnsOf(static_cast<char32_t>(c));
        if (width > kMaxCharacterColumns) {
            return Refused(CodeOf(c) + " is too wide for a name: " + std::to_string(width) +
                           " columns, where one character takes at most " +
                           std::to_string(kMaxCharacterColumns));
        }
        columns += width;
        shows = shows || Shows(c);
    }
    if (MostMarksOnALetter(decomposed) > kMaxMarksOnALetter) {
        return Refused("a name has at most " + std::to_string(kMaxMarksOnALetter) +
                       " combining marks on a letter");
    }
    if (columns > kMaxNameColumns) {
        return Refused("a name is at most " + std::to_string(kMaxNameColumns) +
                       " columns wide (a letter takes 1, a CJK character 2), this one " +
                       std::to_string(columns));
    }
    if (!shows) return Refused("a name shows at least one character that is not blank");
    NameVerdict taken{true, {}, {}};
    name.toUTF8String(taken.name);
    return taken;
}

}  // namespace korvane::names
