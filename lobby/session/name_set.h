// NameSet: a hashed set of player names (at most 20 characters each), 100 buckets of circular
// doubly linked rings. Used for the highlighted names of the player lists.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zrt {

class NameSet {
  public:
    static constexpr size_t kBuckets = 100;
    static constexpr size_t kMaxNameLength = 20;

    struct Node {
        std::string name;  // at most kMaxNameLength characters
        Node* prev = nullptr;
        Node* next = nullptr;
    };

    NameSet() = default;
    NameSet(const NameSet& other);
    NameSet& operator=(const NameSet& other);
    ~NameSet();

    // Appends the name (cut to 20 characters) at the end of its bucket's ring. Duplicates are
    // kept: each needs its own remove.
    void insert(std::string_view name);
    // The first stored node whose name equals `name` exactly (case-sensitive), or nullptr.
    const Node* find(std::string_view name) const;
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    // Unlinks and releases the first match; false when there is none.
    bool remove(std::string_view name);
    void clear();
    size_t size() const { return size_; }

    // Bucket of a name: the sum of its bytes as unsigned values, mod 100.
    static size_t bucketOf(std::string_view name);

  private:
    std::array<Node*, kBuckets> heads_{};  // each the first node of a ring, or nullptr
    size_t size_ = 0;
};

}  // namespace zrt
