// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>

namespace glowdeck::tree_memory {

// Where the element trees of project files get their memory.
//
// A project of thousands of items parses to a tree of megabytes, and every
// 4 KB page of it first touched costs a page fault: on a virtual machine
// about 10 µs each, as much as the parsing itself. While a CLargeTree lives
// on a thread, the tree's pages come from regions the system may back with
// 2 MB pages (one fault where there were 512); everything else, and every
// other thread, keeps the ordinary allocator. Memory from either is freed
// through the same function, from any thread; a region goes back to the
// system when nothing in it is used any more.
class CLargeTree {
public:
    // `expectedBytes`: the size of the text about to be parsed; below a few
    // hundred kilobytes the tree is small and nothing changes.
    explicit CLargeTree(std::size_t expectedBytes);
    ~CLargeTree();
    CLargeTree(const CLargeTree&) = delete;
    CLargeTree& operator=(const CLargeTree&) = delete;

private:
    bool active_;
};

// For tests: the regions currently mapped, and the allocations live in them.
std::size_t RegionCount();
std::size_t LiveInRegions();

}  // namespace glowdeck::tree_memory
