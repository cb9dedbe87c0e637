// Index of an archive's entries by name: buckets chosen by the name hash (h = 31 * h + b over the
// 8-bit name, b a signed byte, 32-bit wrap-around), chains in archive order. A lookup compares the
// whole name along the chain, so two names with one hash each find their own entry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qev::io::detail {

class D7zipIndex
{
  public:
    struct Entry
    {
        std::string name;
        uint32_t number = 0; // position in the archive's entry list, directories counted
        int64_t size = 0;
    };

    D7zipIndex() = default;
    ~D7zipIndex() { clear(); }
    D7zipIndex(const D7zipIndex&) = delete;
    D7zipIndex& operator=(const D7zipIndex&) = delete;

    static int32_t hashName(std::string_view name);

    // Replaces the contents with `entries` (directories already left out).
    void build(std::vector<Entry> entries);
    void clear();
    // The entry stored under exactly `name`, or null.
    const Entry* find(std::string_view name) const;
    size_t size() const { return m_heads.size(); }
    // Every entry's name, in no particular order.
    std::vector<std::string> names() const;

  private:
    struct Node
    {
        bool used = false;
        int32_t hash = 0;
        Entry entry;
        std::unique_ptr<Node> next;
    };

    std::vector<Node> m_heads;
};

} // namespace qev::io::detail
