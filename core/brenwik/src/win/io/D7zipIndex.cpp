#include "io/D7zipIndex.h"

namespace qev::io::detail {

int32_t D7zipIndex::hashName(std::string_view name)
{
    uint32_t hash = 0;
    for (char c : name)
        hash = hash * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
    return static_cast<int32_t>(hash);
}

void D7zipIndex::clear()
{
    // Chains are freed iteratively: a long chain must not recurse once per node.
    for (Node& head : m_heads) {
        std::unique_ptr<Node> node = std::move(head.next);
        while (node)
            node = std::move(node->next);
    }
    m_heads.clear();
}

void D7zipIndex::build(std::vector<Entry> entries)
{
    clear();
    m_heads.resize(entries.size());
    // The tail of every chain, so that appending stays cheap however many names share a bucket.
    std::vector<Node*> tails(m_heads.size(), nullptr);
    for (Entry& e : entries) {
        int32_t hash = hashName(e.name);
        size_t bucket = static_cast<uint32_t>(hash) % m_heads.size();
        Node* node = &m_heads[bucket];
        // A head is free by its own flag, not by a zero hash: a name whose hash is 0 keeps its
        // place.
        if (node->used) {
            tails[bucket]->next = std::make_unique<Node>();
            node = tails[bucket]->next.get();
        }
        tails[bucket] = node;
        node->used = true;
        node->hash = hash;
        node->entry = std::move(e);
    }
}

const D7zipIndex::Entry* D7zipIndex::find(std::string_view name) const
{
    if (m_heads.empty())
        return nullptr;
    int32_t hash = hashName(name);
    for (const Node* node = &m_heads[static_cast<uint32_t>(hash) % m_heads.size()]; node;
         node = node->next.get()) {
        if (node->used && node->hash == hash && node->entry.name == name)
            return &node->entry;
    }
    return nullptr;
}

std::vector<std::string> D7zipIndex::names() const
{
    std::vector<std::string> out;
    for (const Node& head : m_heads) {
        for (const Node* node = &head; node && node->used; node = node->next.get())
            out.push_back(node->entry.name);
    }
    return out;
}

} // namespace qev::io::detail
