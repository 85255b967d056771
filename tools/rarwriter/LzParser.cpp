#include "tools/rarwriter/LzParser.h"

#include <algorithm>
#include <limits>

namespace lz_parser {

namespace {

int CodeFor(const uint8_t* bases, int count, uint32_t value)
{
    int code = count - 1;
    while (bases[code] > value) --code;
    return code;
}

int DistanceCode(uint32_t value)
{
    return static_cast<int>(std::upper_bound(rar::kDistanceBases, rar::kDistanceBases + 48, value) - rar::kDistanceBases) - 1;
}

// The step that saves the most bits at position, given where the recent matches pointed.
Choice BestAt(const MatchFinder& finder, const uint8_t* data, size_t position, const EncoderState& state,
              const CostModel& cost)
{
    Choice best;
    const uint8_t* here = data + position;
    if (state.lastLength > 0 && finder.MatchLength(position, state.lastDistance, state.lastLength) == state.lastLength) {
        const float saving = cost.Literals(here, state.lastLength) - cost.symbol[rar::kSymbolRepeatLast];
        if (saving > best.saving) best = {Choice::RepeatLast, state.lastLength, state.lastDistance, 0, saving};
    }
    for (int age = 0; age < 4; ++age) {
        const uint32_t distance = state.OldDistance(age);
        const uint32_t length = finder.MatchLength(position, distance, kMaxMatch);
        const uint32_t bonus = rar::RepeatLengthBonus(distance);
        if (length < 2 + bonus) continue;
        const int code = CodeFor(rar::kLengthBases, 28, length - 2 - bonus);
        const float saving = cost.Literals(here, length) - cost.symbol[rar::kSymbolRepeatOld + age] - cost.repeat[code] -
                             rar::kLengthBits[code];
        if (saving > best.saving) best = {Choice::Repeat, length, distance, age, saving};
    }
    const MatchFinder::Match match = finder.Longest(position, kMaxMatch);
    if (match.length > 0) {
        const int lengthCode = CodeFor(rar::kLengthBases, 28, match.length - 3 - rar::MatchLengthBonus(match.distance));
        const int distanceCode = DistanceCode(match.distance - 1);
        const float saving = cost.Literals(here, match.length) - cost.symbol[rar::kSymbolMatch + lengthCode] -
                             rar::kLengthBits[lengthCode] - cost.distance[distanceCode] - rar::kDistanceBits[distanceCode];
        if (saving > best.saving) best = {Choice::Match, match.length, match.distance, 0, saving};
    }
    const uint32_t distance = finder.PairDistance(position);
    if (distance >= 1 && distance <= 256) {
        const int code = CodeFor(rar::kShortBases, 8, distance - 1);
        const float saving = cost.Literals(here, 2) - cost.symbol[rar::kSymbolShortMatch + code] - rar::kShortBits[code];
        if (saving > best.saving) best = {Choice::Short, 2, distance, 0, saving};
    }
    return best;
}

}  // namespace

LzCode MakeCode(const Choice& choice, uint8_t literal)
{
    switch (choice.kind) {
    case Choice::Literal:
        return {literal, 0, -1, 0, 0, 0};
    case Choice::RepeatLast:
        return {rar::kSymbolRepeatLast, 0, -1, 0, 0, 0};
    case Choice::Repeat: {
        const uint32_t value = choice.length - 2 - rar::RepeatLengthBonus(choice.distance);
        const int code = CodeFor(rar::kLengthBases, 28, value);
        return {static_cast<uint16_t>(rar::kSymbolRepeatOld + choice.age), 0, static_cast<int16_t>(code),
                rar::kLengthBits[code], 0, value - rar::kLengthBases[code]};
    }
    case Choice::Short: {
        const int code = CodeFor(rar::kShortBases, 8, choice.distance - 1);
        return {static_cast<uint16_t>(rar::kSymbolShortMatch + code), rar::kShortBits[code], -1, 0,
                choice.distance - 1 - rar::kShortBases[code], 0};
    }
    case Choice::Match:
        break;
    }
    const uint32_t lengthValue = choice.length - 3 - rar::MatchLengthBonus(choice.distance);
    const int lengthCode = CodeFor(rar::kLengthBases, 28, lengthValue);
    const int distanceCode = DistanceCode(choice.distance - 1);
    return {static_cast<uint16_t>(rar::kSymbolMatch + lengthCode), rar::kLengthBits[lengthCode],
            static_cast<int16_t>(distanceCode), rar::kDistanceBits[distanceCode],
            lengthValue - rar::kLengthBases[lengthCode], choice.distance - 1 - rar::kDistanceBases[distanceCode]};
}


void ParseLazy(ParseCursor& cursor, const CostModel& cost, std::vector<LzCode>& codes)
{
    MatchFinder& finder = cursor.finder;
    const size_t position = cursor.position;
    Choice choice = BestAt(finder, cursor.data, position, cursor.state, cost);
    if (choice.kind != Choice::Literal && choice.length < kGoodEnough && position + 1 < cursor.size) {
        finder.Insert(position);
        const Choice next = BestAt(finder, cursor.data, position + 1, cursor.state, cost);
        if (next.saving > choice.saving) {
            codes.push_back(MakeCode(Choice{}, cursor.data[position]));
            cursor.position = position + 1;
            return;
        }
        for (size_t i = position + 1; i < position + choice.length; ++i) finder.Insert(i);
    } else {
        for (size_t i = position; i < position + choice.length; ++i) finder.Insert(i);
    }
    codes.push_back(MakeCode(choice, cursor.data[position]));
    if (choice.kind != Choice::Literal) cursor.state.PushMatch(choice.length, choice.distance);
    cursor.position = position + choice.length;
}

namespace {

// The distance history along one path of the optimal parse.
struct History {
    uint32_t old[4];
    uint32_t index;
    uint32_t lastDistance;
    uint32_t lastLength;

    static History From(const EncoderState& state)
    {
        History h{};
        std::copy(std::begin(state.oldDistances), std::end(state.oldDistances), h.old);
        h.index = state.oldDistanceIndex;
        h.lastDistance = state.lastDistance;
        h.lastLength = state.lastLength;
        return h;
    }
    uint32_t Old(int age) const { return old[(index - 1 - static_cast<uint32_t>(age)) & 3]; }
    void Push(uint32_t length, uint32_t distance)
    {
        old[index++ & 3] = distance;
        lastDistance = distance;
        lastLength = length;
    }
};

struct Node {
    float price;
    uint32_t from;
    Choice step;
    History history;
};

constexpr size_t kStretch = 4096;      // positions per optimal parse
constexpr uint32_t kEnumerated = 48;    // match lengths tried one by one; longer ones only whole

class Relaxer {
public:
    Relaxer(std::vector<Node>& nodes, size_t limit) : nodes_(nodes), limit_(limit) {}
    void Offer(size_t from, size_t to, float price, const Choice& step)
    {
        if (to > limit_ || price >= nodes_[to].price) return;
        Node& node = nodes_[to];
        node.price = price;
        node.from = static_cast<uint32_t>(from);
        node.step = step;
        node.history = nodes_[from].history;
        if (step.kind != Choice::Literal) node.history.Push(step.length, step.distance);
    }

private:
    std::vector<Node>& nodes_;
    size_t limit_;
};

// Offers every length of a match from shortest to longest, or only a few when it is long.
template <typename Cost>
void OfferLengths(Relaxer& relaxer, size_t at, float base, uint32_t shortest, uint32_t longest, size_t room,
                  Choice step, Cost cost)
{
    if (longest > room) longest = static_cast<uint32_t>(room);
    for (uint32_t length = shortest; length <= longest; ++length) {
        if (length > kEnumerated && length != longest) continue;
        step.length = length;
        relaxer.Offer(at, at + length, base + cost(length), step);
    }
}

}  // namespace

void ParseOptimal(ParseCursor& cursor, const CostModel& cost, std::vector<LzCode>& codes)
{
    const size_t start = cursor.position;
    const size_t count = std::min(kStretch, cursor.size - start);
    std::vector<Node> nodes(count + 1, Node{std::numeric_limits<float>::infinity(), 0, Choice{}, History{}});
    nodes[0].price = 0;
    nodes[0].history = History::From(cursor.state);
    Relaxer relaxer(nodes, count);
    std::vector<MatchFinder::Match> matches;
    size_t end = count;
    Choice forced;
    for (size_t i = 0; i < count; ++i) {
        const size_t position = start + i;
        const uint8_t* here = cursor.data + position;
        const float base = nodes[i].price;
        const History& history = nodes[i].history;
        const size_t room = count - i;
        relaxer.Offer(i, i + 1, base + cost.literal[*here], Choice{});
        Choice longest;
        if (history.lastLength > 0 &&
            cursor.finder.MatchLength(position, history.lastDistance, history.lastLength) == history.lastLength) {
            const Choice step{Choice::RepeatLast, history.lastLength, history.lastDistance, 0, 0};
            relaxer.Offer(i, i + history.lastLength, base + cost.symbol[rar::kSymbolRepeatLast], step);
            if (step.length > longest.length) longest = step;
        }
        for (int age = 0; age < 4; ++age) {
            const uint32_t distance = history.Old(age);
            const uint32_t length = cursor.finder.MatchLength(position, distance, kMaxMatch);
            const uint32_t bonus = rar::RepeatLengthBonus(distance);
            if (length < 2 + bonus) continue;
            const Choice step{Choice::Repeat, length, distance, age, 0};
            if (length > longest.length) longest = step;
            OfferLengths(relaxer, i, base, 2 + bonus, length, room, step, [&](uint32_t n) {
                const int code = CodeFor(rar::kLengthBases, 28, n - 2 - bonus);
                return cost.symbol[rar::kSymbolRepeatOld + age] + cost.repeat[code] + rar::kLengthBits[code];
            });
        }
        cursor.finder.Matches(position, kMaxMatch, matches);
        uint32_t covered = 0;
        for (const MatchFinder::Match& match : matches) {
            const uint32_t bonus = rar::MatchLengthBonus(match.distance);
            const int distanceCode = DistanceCode(match.distance - 1);
            const float distanceBits = cost.distance[distanceCode] + rar::kDistanceBits[distanceCode];
            const Choice step{Choice::Match, match.length, match.distance, 0, 0};
            if (match.length > longest.length) longest = step;
            OfferLengths(relaxer, i, base, std::max(covered + 1, 3 + bonus), match.length, room, step, [&](uint32_t n) {
                const int code = CodeFor(rar::kLengthBases, 28, n - 3 - bonus);
                return cost.symbol[rar::kSymbolMatch + code] + rar::kLengthBits[code] + distanceBits;
            });
            covered = match.length;
        }
        const uint32_t pair = cursor.finder.PairDistance(position);
        if (pair >= 1 && pair <= 256) {
            const int code = CodeFor(rar::kShortBases, 8, pair - 1);
            relaxer.Offer(i, i + 2, base + cost.symbol[rar::kSymbolShortMatch + code] + rar::kShortBits[code],
                          Choice{Choice::Short, 2, pair, 0, 0});
        }
        if (longest.length >= kGoodEnough) {
            // Long matches are taken whole, which keeps runs and copies from costing a search per byte.
            end = i;
            forced = longest;
            break;
        }
        cursor.finder.Insert(position);
    }

    std::vector<size_t> path;
    for (size_t at = end; at > 0; at = nodes[at].from) path.push_back(at);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const Node& node = nodes[*it];
        codes.push_back(MakeCode(node.step, cursor.data[start + node.from]));
        if (node.step.kind != Choice::Literal) cursor.state.PushMatch(node.step.length, node.step.distance);
    }
    cursor.position = start + end;
    if (forced.kind != Choice::Literal) {
        codes.push_back(MakeCode(forced, 0));
        cursor.state.PushMatch(forced.length, forced.distance);
        for (size_t i = 0; i < forced.length; ++i) cursor.finder.Insert(cursor.position + i);
        cursor.position += forced.length;
    }
}

}  // namespace lz_parser
