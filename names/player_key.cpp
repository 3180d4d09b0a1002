#include "player_key.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/uspoof.h>

#include <memory>

namespace korvane::names {

namespace {

struct SpoofCloser {
    void operator()(USpoofChecker* checker) const { uspoof_close(checker); }
};

}  // namespace

std::string PlayerKey(std::string_view name) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(name.data(), static_cast<int32_t>(name.size())));
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return {};
    icu::UnicodeString folded = nfc->normalize(text, status).foldCase();
    // Folding may undo composition (a folded letter with its mark): composed again, so that
    // the skeleton starts from one form of each name.
    folded = nfc->normalize(folded, status);
    // A checker per call: opening one costs microseconds, against the replay each score
    // has already taken, and one per thread would outlive ICU's cleanup at exit.
    std::unique_ptr<USpoofChecker, SpoofCloser> checker(uspoof_open(&status));
    if (U_FAILURE(status)) return {};
    icu::UnicodeString skeleton;
    uspoof_getSkeletonUnicodeString(checker.get(), 0, folded, skeleton, &status);
    if (U_FAILURE(status)) return {};
    std::string key;
    skeleton.toUTF8String(key);
    return key;
}

}  // namespace korvane::names
