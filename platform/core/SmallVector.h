#pragma once
// A vector of plain values that keeps its first N elements inside itself and
// goes to the heap only beyond them. Regions are made and dropped by the
// hundred for every repaint, and nearly all of them are a rectangle or a
// few: kept inline, they cost no allocation at all.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace platform {

template <class T, std::size_t N> class SmallVector {
    static_assert(std::is_trivially_copyable_v<T>, "elements are copied as bytes");
    static_assert(N > 0);

public:
    SmallVector() = default;
    SmallVector(const SmallVector& other) { Append(other.data(), other.size()); }
    SmallVector(SmallVector&& other) noexcept { Take(other); }
    SmallVector& operator=(const SmallVector& other) {
        if (this != &other) {
            size_ = 0;
            Append(other.data(), other.size());
        }
        return *this;
    }
    SmallVector& operator=(SmallVector&& other) noexcept {
        if (this != &other) {
            delete[] heap_;
            Take(other);
        }
        return *this;
    }
    ~SmallVector() { delete[] heap_; }

    T* data() { return heap_ ? heap_ : inline_; }
    const T* data() const { return heap_ ? heap_ : inline_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    T& front() { return data()[0]; }
    const T& front() const { return data()[0]; }
    T& back() { return data()[size_ - 1]; }
    const T& back() const { return data()[size_ - 1]; }

    void clear() { size_ = 0; }
    void reserve(std::size_t capacity) {
        if (capacity > capacity_) {
            Grow(capacity);
        }
    }
    void push_back(const T& value) {
        if (size_ == capacity_) {
            Grow(2 * capacity_);
        }
        data()[size_++] = value;
    }
    // Appends `count` values, which must not lie in this vector.
    void Append(const T* values, std::size_t count) {
        reserve(size_ + count);
        if (count > 0) {
            std::memcpy(data() + size_, values, count * sizeof(T));
        }
        size_ += count;
    }

    // Puts `count` values (which must not lie in this vector) in place of the
    // `replaced` elements from `at` on; the elements after them move up or down.
    void Replace(std::size_t at, std::size_t replaced, const T* values, std::size_t count) {
        const std::size_t after = size_ - at - replaced;
        reserve(size_ - replaced + count);
        T* elements = data();
        if (after > 0) {
            std::memmove(elements + at + count, elements + at + replaced, after * sizeof(T));
        }
        if (count > 0) {
            std::memcpy(elements + at, values, count * sizeof(T));
        }
        size_ = size_ - replaced + count;
    }

    bool operator==(const SmallVector& other) const {
        return size_ == other.size_ && std::equal(begin(), end(), other.begin());
    }

private:
    void Grow(std::size_t capacity) {
        T* grown = new T[capacity];
        std::memcpy(grown, data(), size_ * sizeof(T));
        delete[] heap_;
        heap_ = grown;
        capacity_ = capacity;
    }

    // Takes the other's elements and leaves it empty and inline.
    void Take(SmallVector& other) {
        size_ = other.size_;
        if (other.heap_) {
            heap_ = other.heap_;
            capacity_ = other.capacity_;
        } else {
            heap_ = nullptr;
            capacity_ = N;
            std::memcpy(inline_, other.inline_, size_ * sizeof(T));
        }
        other.heap_ = nullptr;
        other.size_ = 0;
        other.capacity_ = N;
    }

    // Null while the elements fit inline.
    T* heap_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = N;
    T inline_[N];
};

} // namespace platform
