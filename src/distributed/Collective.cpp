#include "distributed/Collective.h"

#include <climits>
#include <new>
#include <string>
#include <vector>

#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "distributed/DistributedMessages.h"

namespace OrvaneNet::detail {
namespace {

enum FailureKind : int { kOrvane = 1, kOutOfMemory = 2, kOther = 3 };

int RankOf(MPI_Comm comm) {
  int rank = 0;
  MPI_Comm_rank(comm, &rank);
  return rank;
}

}  // namespace

void ShareFailure(MPI_Comm comm, std::exception_ptr failure) {
  int size = 0;
  MPI_Comm_size(comm, &size);
  const int rank = RankOf(comm);
  int first = failure ? rank : size;
  MPI_Allreduce(MPI_IN_PLACE, &first, 1, MPI_INT, MPI_MIN, comm);
  if (first == size) return;

  // The first failing process tells the others what it raised.
  int kind = 0;
  std::string text;
  if (rank == first) {
    try {
      std::rethrow_exception(failure);
    } catch (const OrvaneException& e) {
      kind = kOrvane;
      text = e.what();
    } catch (const std::bad_alloc&) {
      kind = kOutOfMemory;
    } catch (const std::exception& e) {
      kind = kOther;
      text = e.what();
    } catch (...) {
      kind = kOther;
    }
  }
  int header[2] = {kind, static_cast<int>(text.size())};
  MPI_Bcast(header, 2, MPI_INT, first, comm);
  text.resize(static_cast<std::size_t>(header[1]));
  MPI_Bcast(text.data(), header[1], MPI_CHAR, first, comm);
  if (rank == first) std::rethrow_exception(failure);
  if (header[0] == kOutOfMemory) throw std::bad_alloc();
  throw OrvaneException(text);
}

void RequireSameEverywhere(MPI_Comm comm, std::span<const int> values) {
  // One reduction for both bounds: the maximum of v and of -v.
  std::vector<int> bounds;
  bounds.reserve(2 * values.size());
  for (int v : values) {
    bounds.push_back(v);
    bounds.push_back(v == INT_MIN ? INT_MAX : -v);
  }
  MPI_Allreduce(MPI_IN_PLACE, bounds.data(), static_cast<int>(bounds.size()), MPI_INT, MPI_MAX, comm);
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (bounds[2 * k] != values[k] || bounds[2 * k + 1] != (values[k] == INT_MIN ? INT_MAX : -values[k])) {
      throw OrvaneException(msg::ArgumentsDiffer);
    }
  }
}

int AgreeOnInfo(MPI_Comm comm, int info) {
  // [0]: the most negative info; [1]: the smallest positive one.
  int both[2] = {info < 0 ? info : 0, info > 0 ? info : INT_MAX};
  MPI_Allreduce(MPI_IN_PLACE, both, 2, MPI_INT, MPI_MIN, comm);
  if (both[0] < 0) return both[0];
  return both[1] == INT_MAX ? 0 : both[1];
}

}  // namespace OrvaneNet::detail
