#include "pellack/data_line.hpp"

#include <algorithm>
#include <span>

#include "common/list_input.hpp"

namespace pellack {

namespace {

// Position of the later of the first `upper` and the first `lower` in the
// line, or npos when neither occurs.
std::size_t laterFirstOccurrence(std::string_view line, char upper, char lower) {
    const std::size_t upperAt = line.find(upper);
    const std::size_t lowerAt = line.find(lower);
    if (upperAt == std::string_view::npos) return lowerAt;
    if (lowerAt == std::string_view::npos) return upperAt;
    return std::max(upperAt, lowerAt);
}

constexpr Slot kObservedBoth[] = {kInPhaseObserved, kQuadratureObserved, kInPhaseError,
                                  kQuadratureError};
constexpr Slot kObservedInPhase[] = {kInPhaseObserved, kInPhaseError};
constexpr Slot kObservedQuadrature[] = {kQuadratureObserved, kQuadratureError};
constexpr Slot kPredictedBoth[] = {kInPhasePredicted, kQuadraturePredicted};
constexpr Slot kPredictedInPhase[] = {kInPhasePredicted};
constexpr Slot kPredictedQuadrature[] = {kQuadraturePredicted};

std::span<const Slot> slotsFilled(DataRole role, TypeLetter letter) {
    const bool observed = role == DataRole::observed;
    switch (letter) {
        case TypeLetter::both:
            return observed ? std::span<const Slot>(kObservedBoth) : std::span<const Slot>(kPredictedBoth);
        case TypeLetter::inPhase:
            return observed ? std::span<const Slot>(kObservedInPhase)
                            : std::span<const Slot>(kPredictedInPhase);
        case TypeLetter::quadrature:
            return observed ? std::span<const Slot>(kObservedQuadrature)
                            : std::span<const Slot>(kPredictedQuadrature);
        case TypeLetter::none:
            break;
    }
    return {};
}

// Tokens are separated by blanks only: the next one is the text up to the
// next blank, which is dropped with it. Empty when only blanks are left.
std::string_view nextToken(std::string_view& rest) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const std::size_t end = rest.find(' ');
    const std::string_view token = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return token;
}

bool holdsEither(std::string_view token, char upper, char lower) {
    return token.find(upper) != std::string_view::npos || token.find(lower) != std::string_view::npos;
}

}  // namespace

TypeLetterMatch findTypeLetter(std::string_view line) {
    struct Candidate {
        char upper;
        char lower;
        TypeLetter letter;
    };
    constexpr Candidate kByPrecedence[] = {
        {'B', 'b', TypeLetter::both}, {'I', 'i', TypeLetter::inPhase}, {'Q', 'q', TypeLetter::quadrature}};
    for (const Candidate& candidate : kByPrecedence) {
        const std::size_t at = laterFirstOccurrence(line, candidate.upper, candidate.lower);
        if (at != std::string_view::npos) return TypeLetterMatch{candidate.letter, at + 1};
    }
    return {};
}

DataLineResult takeDataLine(std::string_view line, DataRole role, ValueRow& row) {
    const TypeLetterMatch match = findTypeLetter(line);
    if (match.letter == TypeLetter::none) return {DataLineStatus::noTypeLetter, {}};

    // An observed line with one component leaves the other one without data.
    if (role == DataRole::observed && match.letter == TypeLetter::inPhase) {
        row.slots[kQuadratureObserved] = kMissingValue;
        row.slots[kQuadratureError] = kMissingValue;
        row.slots[kQuadraturePredicted] = kMissingValue;
    } else if (role == DataRole::observed && match.letter == TypeLetter::quadrature) {
        row.slots[kInPhaseObserved] = kMissingValue;
        row.slots[kInPhaseError] = kMissingValue;
        row.slots[kInPhasePredicted] = kMissingValue;
    }

    std::string_view rest = line.substr(match.tokensStart);
    for (const Slot slot : slotsFilled(role, match.letter)) {
        for (;;) {
            const std::string_view token = nextToken(rest);
            if (token.empty()) return {DataLineStatus::tooFewValues, {}};
            if (holdsEither(token, 'V', 'v')) {
                row.errorMode = ErrorMode::value;
                continue;
            }
            if (holdsEither(token, 'P', 'p')) {
                row.errorMode = ErrorMode::percent;
                continue;
            }
            if (common::readListFromText(token, {&row.slots[slot]}) != common::ReadStatus::ok) {
                return {DataLineStatus::badValue, token};
            }
            break;
        }
    }
    return {};
}

}  // namespace pellack
