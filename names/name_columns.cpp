#include "name_columns.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace korvane::names {

namespace {

// The Arabic ligatures that write a blessing or a phrase as one character (U+FD40..U+FD4F,
// U+FDCF, U+FDFD..U+FDFF: the symbols of Arabic Presentation Forms-A) have no decomposition
// to measure them by, and each is drawn as wide as its words. Counted as the longest,
// U+FDFD, the bismillah, written out: 22 letters and spaces.
constexpr int kPhraseColumns = 22;

bool IsPhraseLigature(UChar32 c) {
    return ublock_getCode(c) == UBLOCK_ARABIC_PRESENTATION_FORMS_A &&
           u_charType(c) == U_OTHER_SYMBOL;
}

// A character's own columns, leaving its decomposition aside.
int OwnColumns(UChar32 c) {
    if ((U_GET_GC_MASK(c) & U_GC_M_MASK) != 0) return 0;
    const int width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

}  // namespace

int ColumnsOf(char32_t code) {
    const auto c = static_cast<UChar32>(code);
    if (IsPhraseLigature(c)) return kPhraseColumns;
    // A wide compatibility character (a squared word: U+337F) fills its two columns.
    const int own = OwnColumns(c);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
    icu::UnicodeString parts;
    if (own != 1 || U_FAILURE(status) || !nfkd->getDecomposition(c, parts)) return own;
    int columns = 0;
    for (int32_t i = 0; i < parts.length(); i = parts.moveIndex32(i, 1)) {
        columns += OwnColumns(parts.char32At(i));
    }
    return std::max(columns, 1);
}

}  // namespace korvane::names
