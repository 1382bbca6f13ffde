#include "update/emailsyntax.h"

#include <array>
#include <cstdint>

namespace {

// Membership of the codes 32..255 in the word characters, bit (code - 32).
class WordCharacters {
public:
    constexpr WordCharacters() {
        for (int code = 33; code <= 255; ++code)
            if (!excluded(code))
                m_bits[std::size_t(code - 32) / 32] |= std::uint32_t(1) << ((code - 32) % 32);
    }
    constexpr bool contains(char16_t code) const {
        if (code < 32 || code > 255)
            return false;
        return (m_bits[std::size_t(code - 32) / 32] >> ((code - 32) % 32)) & 1u;
    }

private:
    static constexpr bool excluded(int code) {
        for (const int c : {34, 40, 41, 44, 46, 47, 58, 59, 60, 62, 64, 91, 92, 93, 127})
            if (c == code)
                return true;
        return false;
    }
    std::array<std::uint32_t, 7> m_bits{};
};

constexpr WordCharacters kWord;

constexpr int countWordCharacters() {
    int count = 0;
    for (char16_t c = 0; c < 300; ++c)
        count += kWord.contains(c) ? 1 : 0;
    return count;
}
static_assert(countWordCharacters() == 208);

bool isQuotedCharacter(char16_t c) {
    return c <= 255 && c != 13 && c != u'"' && c != u'\\';
}

bool isLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isLetterOrDigit(char16_t c) {
    return isLetter(c) || (c >= u'0' && c <= u'9');
}

enum class State { Start, Word, Quoted, QuotedPair, AfterQuote, LocalDot, ExpectLabel, Label, Hyphen, Rejected };

State next(State state, char16_t c, int& labels) {
    switch (state) {
    case State::Start:
    case State::LocalDot:
        if (kWord.contains(c))
            return State::Word;
        if (c == u'"')
            return State::Quoted;
        break;
    case State::Word:
        if (c == u'@')
            return State::ExpectLabel;
        if (c == u'.')
            return State::LocalDot;
        if (kWord.contains(c))
            return State::Word;
        break;
    case State::Quoted:
        if (c == u'\\')
            return State::QuotedPair;
        if (c == u'"')
            return State::AfterQuote;
        if (isQuotedCharacter(c))
            return State::Quoted;
        break;
    case State::QuotedPair:
        return State::Quoted;
    case State::AfterQuote:
        if (c == u'@')
            return State::ExpectLabel;
        if (c == u'.')
            return State::LocalDot;
        break;
    case State::ExpectLabel:
        if (isLetter(c))
            return State::Label;
        break;
    case State::Label:
        if (c == u'.') {
            ++labels;
            return State::ExpectLabel;
        }
        if (c == u'-')
            return State::Hyphen;
        if (isLetterOrDigit(c))
            return State::Label;
        break;
    case State::Hyphen:
        if (isLetterOrDigit(c))
            return State::Label;
        if (c == u'-')
            return State::Hyphen;
        break;
    case State::Rejected:
        break;
    }
    return State::Rejected;
}

} // namespace

bool CheckEmailSyntax(const QString& text) {
    State state = State::Start;
    int labels = 1;
    for (const QChar ch : text) {
        state = next(state, ch.unicode(), labels);
        if (state == State::Rejected)
            return false;
    }
    return state == State::Label && labels >= 2;
}
