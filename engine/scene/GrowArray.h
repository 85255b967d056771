#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <type_traits>

// The engine's growable array of records. It owns one raw heap block holding its elements side
// by side and grows it by a fixed step of 20 slots, never by doubling. Growth reallocates the
// block, so elements move as raw bytes: an element may own heap memory through pointers, but
// must not point into itself or into a sibling, and nobody keeps an element's address across a
// later Append (indices stay valid).
template <typename T>
class GrowArray {
public:
    static constexpr uint32_t kGrowthStep = 20;

    GrowArray() { Clear(); }
    ~GrowArray()
    {
        DestroyElements();
        std::free(elements_);
    }
    GrowArray(const GrowArray&) = delete;
    GrowArray& operator=(const GrowArray&) = delete;

    // Destroys every element in index order and re-obtains a fresh block of one growth step.
    void Clear()
    {
        DestroyElements();
        std::free(elements_);
        elements_ = static_cast<T*>(Allocate(nullptr, step_ * sizeof(T)));
        capacity_ = step_;
        count_ = 0;
    }

    T& Append(const T& value)
    {
        ++count_;
        if (count_ > capacity_) {
            capacity_ += step_;
            elements_ = static_cast<T*>(Allocate(elements_, capacity_ * sizeof(T)));
        }
        T* slot = elements_ + (count_ - 1);
        new (slot) T(value);
        return *slot;
    }

    // No bounds check: the caller keeps i below Count().
    T& At(uint32_t i) { return elements_[i]; }
    const T& At(uint32_t i) const { return elements_[i]; }

    uint32_t Count() const { return count_; }
    uint32_t Capacity() const { return capacity_; }

    // Empties a list whose elements need no destruction, keeping the block (per-frame lists).
    void ResetCount()
    {
        static_assert(std::is_trivially_destructible_v<T>, "ResetCount skips destructors");
        count_ = 0;
    }

    // Removes the first element equal to value; later elements move down one slot, in order.
    void Remove(T value)
        requires std::is_pointer_v<T>
    {
        for (uint32_t i = 0; i < count_; ++i) {
            if (elements_[i] == value) {
                for (uint32_t j = i + 1; j < count_; ++j) elements_[j - 1] = elements_[j];
                --count_;
                return;
            }
        }
    }

    T* begin() { return elements_; }
    T* end() { return elements_ + count_; }
    const T* begin() const { return elements_; }
    const T* end() const { return elements_ + count_; }

private:
    void DestroyElements()
    {
        for (uint32_t i = 0; i < count_; ++i) elements_[i].~T();
        count_ = 0;
    }

    // Running out of memory stops the program instead of writing through a null block.
    static void* Allocate(void* block, size_t bytes)
    {
        void* result = std::realloc(block, bytes);
        if (result == nullptr) {
            std::fprintf(stderr, "GrowArray: out of memory allocating %zu bytes\n", bytes);
            std::abort();
        }
        return result;
    }

    T* elements_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    uint32_t step_ = kGrowthStep;
};
