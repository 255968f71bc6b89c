#pragma once
// RingList: the engine's circular list with a count and a cursor.
//
// Insert links the new node after the cursor and makes it the cursor (into an empty list
// it becomes head and cursor, linked to itself). RemoveAtCursor takes out the cursor node
// and makes its predecessor the cursor. A walk visits the cursor, then moves the cursor
// to its successor, count times, so a whole walk leaves the cursor where it started.

#include <utility>

template <typename T>
class RingList {
    struct Node {
        Node* next;
        Node* previous;
        T value;
    };

public:
    RingList() = default;
    RingList(const RingList&) = delete;
    RingList& operator=(const RingList&) = delete;
    ~RingList() { Clear(); }

    int Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    void Insert(T value) {
        Node* node = new Node{nullptr, nullptr, std::move(value)};
        if (cursor_ == nullptr) {
            node->next = node->previous = node;
            head_ = node;
        } else {
            node->previous = cursor_;
            node->next = cursor_->next;
            cursor_->next->previous = node;
            cursor_->next = node;
        }
        cursor_ = node;
        ++count_;
    }

    // Removes the cursor node and returns its value; the predecessor becomes the cursor.
    // The list must not be empty.
    T RemoveAtCursor() {
        Node* node = cursor_;
        T value = std::move(node->value);
        if (count_ == 1) {
            cursor_ = head_ = nullptr;
        } else {
            node->previous->next = node->next;
            node->next->previous = node->previous;
            if (head_ == node) head_ = node->next;
            cursor_ = node->previous;
        }
        delete node;
        --count_;
        return value;
    }

    // The value at the cursor; the list must not be empty.
    T& Current() { return cursor_->value; }
    const T& Current() const { return cursor_->value; }
    void Advance() {
        if (cursor_ != nullptr) cursor_ = cursor_->next;
    }
    void MoveCursorToHead() { cursor_ = head_; }
    T& Head() { return head_->value; }

    // Visits count nodes from the cursor, moving the cursor along.
    template <typename Visit>
    void Walk(Visit&& visit) {
        for (int i = 0; i < count_; ++i) {
            visit(cursor_->value);
            cursor_ = cursor_->next;
        }
    }

    // Visits every node from the head in ring order without moving the cursor.
    template <typename Visit>
    void ForEachFromHead(Visit&& visit) const {
        const Node* node = head_;
        for (int i = 0; i < count_; ++i, node = node->next) visit(node->value);
    }

    void Clear() {
        Node* node = head_;
        for (int i = 0; i < count_; ++i) {
            Node* next = node->next;
            delete node;
            node = next;
        }
        head_ = cursor_ = nullptr;
        count_ = 0;
    }

private:
    int count_ = 0;
    Node* cursor_ = nullptr;
    Node* head_ = nullptr;
};
