#include "tests/picture/largest_allocation.h"

#include <cstdlib>
#include <new>

namespace hc::test {
namespace {

thread_local bool watching = false;
thread_local std::size_t largest = 0;

void* allocate(std::size_t size) {
  if (watching && size > largest) {
    largest = size;
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}

}  // namespace

LargestAllocation::LargestAllocation() {
  largest = 0;
  watching = true;
}

LargestAllocation::~LargestAllocation() {
  watching = false;
}

std::size_t LargestAllocation::bytes() const {
  return largest;
}

}  // namespace hc::test

void* operator new(std::size_t size) {
  return hc::test::allocate(size);
}
void* operator new[](std::size_t size) {
  return hc::test::allocate(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
