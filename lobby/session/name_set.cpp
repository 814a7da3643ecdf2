// NameSet rings.
#include "lobby/session/name_set.h"

namespace zrt {

size_t NameSet::bucketOf(std::string_view name) {
    size_t sum = 0;
    for (char c : name) sum += static_cast<unsigned char>(c);
    return sum % kBuckets;
}

NameSet::NameSet(const NameSet& other) {
    *this = other;
}

NameSet& NameSet::operator=(const NameSet& other) {
    if (this == &other) return *this;
    clear();
    for (Node* head : other.heads_) {
        if (!head) continue;
        const Node* n = head;
        do {
            insert(n->name);
            n = n->next;
        } while (n != head);
    }
    return *this;
}

NameSet::~NameSet() {
    clear();
}

void NameSet::insert(std::string_view name) {
    Node* node = new Node;
    node->name = std::string(name.substr(0, kMaxNameLength));
    Node*& head = heads_[bucketOf(node->name)];
    if (!head) {
        node->prev = node->next = node;
        head = node;
    } else {
        // The end of a ring is just before its first node.
        node->next = head;
        node->prev = head->prev;
        head->prev->next = node;
        head->prev = node;
    }
    ++size_;
}

const NameSet::Node* NameSet::find(std::string_view name) const {
    const Node* head = heads_[bucketOf(name)];
    if (!head) return nullptr;
    const Node* n = head;
    do {
        if (n->name == name) return n;
        n = n->next;
    } while (n != head);
    return nullptr;
}

bool NameSet::remove(std::string_view name) {
    Node* found = const_cast<Node*>(find(name));
    if (!found) return false;
    Node*& head = heads_[bucketOf(name)];
    if (found->next == found) {
        head = nullptr;
    } else {
        found->prev->next = found->next;
        found->next->prev = found->prev;
        if (head == found) head = found->next;
    }
    delete found;
    --size_;
    return true;
}

void NameSet::clear() {
    for (Node*& head : heads_) {
        if (!head) continue;
        head->prev->next = nullptr;  // open the ring, then walk it
        Node* n = head;
        while (n) {
            Node* next = n->next;
            delete n;
            n = next;
        }
        head = nullptr;
    }
    size_ = 0;
}

}  // namespace zrt
