// Memory for large arrays of numbers, in the system's huge pages where it offers them: on
// a virtual machine the first touch of each 4 KiB page can cost ten microseconds, of a
// 2 MiB page hardly more, and a spectrum's arrays run to megabytes.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace platform {

// At least bytes, aligned to 64 bytes (and to 2 MiB when large); throws std::bad_alloc
// when there is none. Give it back with free_large.
void* allocate_large(std::size_t bytes);
void free_large(void* memory) noexcept;

// An allocator for std::vector that takes its memory from allocate_large.
template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(allocate_large(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) noexcept { free_large(p); }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const { return true; }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace platform
