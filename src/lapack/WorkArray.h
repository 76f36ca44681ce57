// Scratch arrays handed to LAPACK for the length of one call: work arrays,
// the Rectangular Full Packed copy of a packed triangle, a full-storage copy.
// The kinds' own array type, whose large blocks get huge pages
// (core/LargeBlock.h): a solve in a fresh process then does not pay a page
// fault per 4 KiB of scratch. Use Uninitialized where LAPACK writes first.
#pragma once

#include "core/NativeArray.h"

namespace OrvaneNet::lapack {

template <class T>
using WorkArray = detail::NativeArray<T>;

}  // namespace OrvaneNet::lapack
