// Buffers that start a 4 KB page, for samples that a pass reads from one
// buffer while it writes another at the same stride. The processor takes a
// load for one that depends on an earlier store when their addresses agree
// in the low 12 bits, and holds it back; with both buffers on page
// boundaries, sample i of each lies at the same place in its page, so a
// load only ever meets the store of its own index, which comes after it.
// Heap buffers otherwise start anywhere in a page, and in about half of
// all layouts every load of such a pass meets an earlier store.
//
//     PageAlignedVector<int32_t> sums(4096);
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace lv::audio {

inline constexpr std::size_t pageBytes = 4096;

template <typename T>
struct PageAlignedAllocator {
    using value_type = T;
    PageAlignedAllocator() = default;
    template <typename U>
    PageAlignedAllocator(const PageAlignedAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t{pageBytes})); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t{pageBytes}); }
    template <typename U>
    bool operator==(const PageAlignedAllocator<U>&) const {
        return true;
    }
};

template <typename T>
using PageAlignedVector = std::vector<T, PageAlignedAllocator<T>>;

}  // namespace lv::audio
