// Making failures collective: what one process detects, every process of the
// communicator raises, so that none is left waiting in a later collective
// call.
#pragma once

#include <mpi.h>

#include <exception>
#include <span>
#include <utility>

namespace OrvaneNet::detail {

// Collective over comm: raises on every process the failure of the
// lowest-ranked process that failed (that process rethrows its own
// exception; the others raise OrvaneException with the same text, or
// std::bad_alloc), or returns when no process failed.
void ShareFailure(MPI_Comm comm, std::exception_ptr failure);

// Runs step (a local computation: no collective call inside) on this process,
// then ShareFailure.
template <class Step>
void Collectively(MPI_Comm comm, Step&& step) {
  std::exception_ptr failure;
  try {
    std::forward<Step>(step)();
  } catch (...) {
    failure = std::current_exception();
  }
  ShareFailure(comm, failure);
}

// Collective: raises OrvaneException (ArgumentsDiffer) on every process
// unless every process passed the same values.
void RequireSameEverywhere(MPI_Comm comm, std::span<const int> values);

// Collective: one info for all processes from each process's ScaLAPACK info
// (the most negative one if any is negative, else the smallest positive one,
// else 0).
int AgreeOnInfo(MPI_Comm comm, int info);

}  // namespace OrvaneNet::detail
