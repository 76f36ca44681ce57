// The fixed messages of the distributed library, each written once (the
// messages it shares with the single-machine kinds come from core/Messages.h).
// "{0}" stands for a number filled in by detail::FillPlaceholders.
#pragma once

namespace OrvaneNet::msg {
inline constexpr const char* MpiNotInitialized = "MPI must be initialized before a process grid is created.";
inline constexpr const char* GridNotPositive = "The process grid must have at least one row and one column.";
// "The process grid 2 x 3 needs 6 processes, but the communicator has 4."
inline constexpr const char* GridSizePrefix = "The process grid ";
inline constexpr const char* GridSizeNeeds = " needs ";
inline constexpr const char* GridSizeButHas = " processes, but the communicator has ";
inline constexpr const char* GridSizeSuffix = ".";
inline constexpr const char* ArgumentsDiffer =
    "The processes passed different arguments to a collective call of the distributed library.";
inline constexpr const char* BlockSizeTooSmall = "The block size must be at least 1.";
inline constexpr const char* RootOutOfRange = "The root must be a rank of the grid's communicator.";
inline constexpr const char* GridsDiffer =
    "Distributed matrices of one operation must share one process grid and one block size.";
// "Element (i, j) is held by process (r, c) of the grid, not by this one."
inline constexpr const char* ElementPrefix = "Element (";
inline constexpr const char* ElementHeldBy = ") is held by process (";
inline constexpr const char* ElementNotHere = ") of the grid, not by this one.";
inline constexpr const char* SingularU =
    "The factorization has been completed, but U is exactly singular (its {0}-th diagonal element is "
    "zero), so no system can be solved with it.";
inline constexpr const char* NotPositiveDefinite =
    "This matrix is not positive definite (its leading minor of order {0} is not), so the Cholesky "
    "factorization could not be completed.";
inline constexpr const char* SvdHeterogeneous =
    "The processes computed different singular values (ScaLAPACK found the machine heterogeneous).";
}  // namespace OrvaneNet::msg
