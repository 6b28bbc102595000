// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TreeMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <pugixml.hpp>
#include <vector>

namespace glowdeck::tree_memory {

namespace {

// Texts smaller than this parse to trees of a few hundred pages at most.
constexpr std::size_t kLargeText = 128 * 1024;
// Only whole pages of the tree (pugixml asks for 32 KB at a time) and the
// parser's copy of the text come from regions; small strings do not.
constexpr std::size_t kSmallest = 4096;
constexpr std::size_t kHugePage = 2 * 1024 * 1024;
constexpr std::size_t kRegionBytes = 4 * kHugePage;
constexpr std::size_t kAlignment = 16;  // as malloc's

struct Region {
    char* base;
    std::size_t used;  // bytes handed out from the start
    std::size_t live;  // allocations not yet freed
};

// Never destroyed: a tree freed by another object's destructor at exit
// still finds them.
std::mutex& mutex = *new std::mutex;
std::vector<Region>& regions = *new std::vector<Region>;  // the last one is handed out from
thread_local int largeTrees = 0;

// A region aligned to huge pages, which the system is asked to back with
// them; null when no memory can be mapped.
char* MapRegion() {
    const std::size_t reserved = kRegionBytes + kHugePage;
    void* raw =
        ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    // The unaligned ends go back at once.
    if (aligned > start) ::munmap(raw, aligned - start);
    if (const std::size_t tail = start + reserved - (aligned + kRegionBytes); tail > 0)
        ::munmap(reinterpret_cast<void*>(aligned + kRegionBytes), tail);
    auto* base = reinterpret_cast<char*>(aligned);
    // Without huge pages (switched off, or none free) the region is used
    // with ordinary ones.
    (void)::madvise(base, kRegionBytes, MADV_HUGEPAGE);
    return base;
}

void* Allocate(std::size_t size) {
    if (largeTrees > 0 && size >= kSmallest && size <= kRegionBytes) {
        const std::size_t need = (size + kAlignment - 1) & ~(kAlignment - 1);
        const std::lock_guard<std::mutex> lock(mutex);
        if (regions.empty() || regions.back().used + need > kRegionBytes) {
            if (char* base = MapRegion()) regions.push_back({base, 0, 0});
        }
        if (!regions.empty() && regions.back().used + need <= kRegionBytes) {
            Region& region = regions.back();
            void* p = region.base + region.used;
            region.used += need;
            ++region.live;
            return p;
        }
    }
    return std::malloc(size);
}

void Deallocate(void* p) {
    if (!p) return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto in = std::find_if(regions.begin(), regions.end(), [p](const Region& r) {
            return p >= r.base && p < r.base + kRegionBytes;
        });
        if (in != regions.end()) {
            if (--in->live == 0) {
                if (in + 1 == regions.end()) {
                    // The region handed out from starts over, its pages
                    // already there for the next tree.
                    in->used = 0;
                } else {
                    ::munmap(in->base, kRegionBytes);
                    regions.erase(in);
                }
            }
            return;
        }
    }
    std::free(p);
}

// Installed before main, so that no tree was made with other functions:
// every block pugixml frees is one these functions gave.
const bool installed = [] {
    pugi::set_memory_management_functions(Allocate, Deallocate);
    return true;
}();

}  // namespace

CLargeTree::CLargeTree(std::size_t expectedBytes) : active_(expectedBytes >= kLargeText) {
    (void)installed;
    if (active_) ++largeTrees;
}

CLargeTree::~CLargeTree() {
    if (active_) --largeTrees;
}

std::size_t RegionCount() {
    const std::lock_guard<std::mutex> lock(mutex);
    return regions.size();
}

std::size_t LiveInRegions() {
    const std::lock_guard<std::mutex> lock(mutex);
    std::size_t live = 0;
    for (const Region& r : regions) live += r.live;
    return live;
}

}  // namespace glowdeck::tree_memory
