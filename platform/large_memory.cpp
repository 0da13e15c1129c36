// Memory for large arrays, in huge pages.
#include "platform/large_memory.hpp"

#include <sys/mman.h>

#include <cstdlib>

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From a quarter of a huge page on, a whole one costs less than its small pages would.
constexpr std::size_t kLarge = kHugePage / 4;
constexpr std::size_t kAlignment = 64;

}  // namespace

void* allocate_large(std::size_t bytes) {
  void* memory = nullptr;
  if (bytes < kLarge) {
    if (::posix_memalign(&memory, kAlignment, bytes == 0 ? 1 : bytes) != 0) throw std::bad_alloc();
    return memory;
  }
  const std::size_t whole = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  if (whole < bytes || ::posix_memalign(&memory, kHugePage, whole) != 0) throw std::bad_alloc();
  // Only advice: where the system has no huge pages the memory is ordinary.
  ::madvise(memory, whole, MADV_HUGEPAGE);
  return memory;
}

void free_large(void* memory) noexcept { std::free(memory); }

}  // namespace platform
