#include "tools/rarwriter/HuffmanBuilder.h"

#include <algorithm>
#include <queue>
#include <vector>

namespace {

struct Node {
    uint64_t weight;
    int left;   // children, or -1 for a leaf
    int right;
    int symbol;
};

// Plain Huffman lengths; may exceed the limit, which the caller then handles.
int HuffmanLengths(const std::vector<uint64_t>& weights, int symbolCount, uint8_t* lengths)
{
    std::vector<Node> nodes;
    using Item = std::pair<uint64_t, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    for (int s = 0; s < symbolCount; ++s) {
        lengths[s] = 0;
        if (weights[s] == 0) continue;
        nodes.push_back({weights[s], -1, -1, s});
        queue.push({weights[s], static_cast<int>(nodes.size()) - 1});
    }
    if (nodes.empty()) return 0;
    if (nodes.size() == 1) {
        lengths[nodes[0].symbol] = 1;
        return 1;
    }
    while (queue.size() > 1) {
        const Item a = queue.top();
        queue.pop();
        const Item b = queue.top();
        queue.pop();
        nodes.push_back({a.first + b.first, a.second, b.second, -1});
        queue.push({a.first + b.first, static_cast<int>(nodes.size()) - 1});
    }
    int deepest = 0;
    std::vector<std::pair<int, int>> stack{{queue.top().second, 0}};
    while (!stack.empty()) {
        const auto [index, depth] = stack.back();
        stack.pop_back();
        const Node& node = nodes[index];
        if (node.left < 0) {
            lengths[node.symbol] = static_cast<uint8_t>(std::min(depth, 255));
            deepest = std::max(deepest, depth);
            continue;
        }
        stack.push_back({node.left, depth + 1});
        stack.push_back({node.right, depth + 1});
    }
    return deepest;
}

}  // namespace

void BuildCodeLengths(const uint32_t* counts, int symbolCount, int maxLength, uint8_t* lengths)
{
    std::vector<uint64_t> weights(counts, counts + symbolCount);
    // Flattening the counts shortens the deepest codes; a few rounds always bring them in.
    while (HuffmanLengths(weights, symbolCount, lengths) > maxLength) {
        for (uint64_t& weight : weights) {
            if (weight != 0) weight = (weight >> 1) | 1;
        }
    }
}

void AssignCanonicalCodes(const uint8_t* lengths, int symbolCount, uint16_t* codes)
{
    int counts[17] = {};
    for (int s = 0; s < symbolCount; ++s) ++counts[lengths[s]];
    counts[0] = 0;
    uint32_t next[17] = {};
    uint32_t code = 0;
    for (int length = 1; length <= 16; ++length) {
        code = (code + static_cast<uint32_t>(counts[length - 1])) << 1;
        next[length] = code;
    }
    for (int s = 0; s < symbolCount; ++s) {
        if (lengths[s] != 0) codes[s] = static_cast<uint16_t>(next[lengths[s]]++);
    }
}
