#include "name_check.h"

#include <QList>
#include <QString>

namespace korvane::hall {

namespace {

Refusal Bad(const std::string& why) {
    return {"bad-name", why};
}

bool IsMark(char32_t c) {
    const QChar::Category k = QChar::category(c);
    return k == QChar::Mark_NonSpacing || k == QChar::Mark_SpacingCombining ||
           k == QChar::Mark_Enclosing;
}

// Letters that draw nothing: the Hangul fillers, the blank Braille cell, the Khmer
// inherent vowels.
bool IsFiller(char32_t c) {
    return c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0 || c == 0x2800 || c == 0x17B4 ||
           c == 0x17B5;
}

// Whether the character draws something by itself: not a space or separator, not a format
// character, not a mark (which draws only on another), not a filler.
bool IsVisible(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
        case QChar::Other_Format:
            return false;
        default:
            return !IsMark(c) && !IsFiller(c);
    }
}

// Characters with no place in a name: controls, surrogates, private use, unassigned, the
// line and paragraph separators, and the direction overrides that turn the table's text.
bool IsRefused(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    }
}

}  // namespace

std::optional<Refusal> CheckName(const std::string& name, std::string& normalised) {
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (text.toUtf8().toStdString() != name) return Bad("the name is not UTF-8 text");
    const QList<uint> characters = text.normalized(QString::NormalizationForm_C).toUcs4();
    if (characters.size() < 1 || characters.size() > kMaxNameCharacters) {
        return Bad("a name has 1 to " + std::to_string(kMaxNameCharacters) +
                   " characters, this one " + std::to_string(characters.size()));
    }
    bool visible = false;
    int marks = 0;
    for (const uint code : characters) {
        const char32_t c = code;
        if (IsRefused(c)) return Bad("a name holds only printable characters");
        marks = IsMark(c) ? marks + 1 : 0;
        if (marks > kMaxMarksInARow) {
            return Bad("a name has at most " + std::to_string(kMaxMarksInARow) +
                       " combining marks on a letter");
        }
        visible = visible || IsVisible(c);
    }
    if (!visible) return Bad("a name shows at least one character that is not blank");
    normalised =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.data()), characters.size())
            .toStdString();
    return std::nullopt;
}

}  // namespace korvane::hall
