// Interface paths of the hidraw backend.
//
// One hidraw node carries every top-level collection of its device; each
// collection is an interface of its own. A node with one collection is named
// by its /dev path ("/dev/hidraw3"); a node with several gets one path per
// collection, numbered from 1 ("/dev/hidraw3&col01", "/dev/hidraw3&col02").
#pragma once

#include <cstddef>
#include <string>

namespace hidhost::hidraw {

constexpr size_t kMaxCollectionsPerNode = 99;

// `collection` counts from 0; `collectionCount` is the node's total.
std::string FormatInterfacePath(const std::string& devRoot, const std::string& nodeName,
                                size_t collection, size_t collectionCount);

// Splits a path made by FormatInterfacePath. Accepts only node names of the
// form "hidraw<digits>" directly under `devRoot`, so path text can never
// reach another file. A plain node path names collection 0.
bool ParseInterfacePath(const std::string& devRoot, const std::string& path,
                        std::string* nodeName, size_t* collection);

// True for "hidraw<digits>" (at most 9 digits).
bool IsHidrawNodeName(const std::string& name);

}  // namespace hidhost::hidraw
