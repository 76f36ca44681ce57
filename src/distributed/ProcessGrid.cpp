#include <string>

#include "OrvaneNet/Distributed.h"
#include "OrvaneNet/OrvaneException.h"
#include "distributed/Collective.h"
#include "distributed/DistributedMessages.h"
#include "distributed/GridState.h"

namespace OrvaneNet {
namespace {

void RequireMpi() {
  int initialized = 0, finalized = 0;
  MPI_Initialized(&initialized);
  MPI_Finalized(&finalized);
  if (!initialized || finalized) throw OrvaneException(msg::MpiNotInitialized);
}

int SizeOf(MPI_Comm comm) {
  int size = 0;
  MPI_Comm_size(comm, &size);
  return size;
}

// The most square factorization rows x cols = size with rows <= cols.
int SquarestRows(int size) {
  int rows = 1;
  for (int r = 1; r * r <= size; ++r) {
    if (size % r == 0) rows = r;
  }
  return rows;
}

std::shared_ptr<const ProcessGrid::State> MakeGrid(MPI_Comm comm, int rows, int cols) {
  const int size = SizeOf(comm);
  // Every process sees the same rows, cols and size once they agree, so
  // these checks raise everywhere alike.
  const int asked[2] = {rows, cols};
  detail::RequireSameEverywhere(comm, asked);
  if (rows < 1 || cols < 1) throw OrvaneException(msg::GridNotPositive);
  if (static_cast<long long>(rows) * cols != size) {
    throw OrvaneException(msg::GridSizePrefix + std::to_string(rows) + " x " + std::to_string(cols) +
                          msg::GridSizeNeeds + std::to_string(static_cast<long long>(rows) * cols) +
                          msg::GridSizeButHas + std::to_string(size) + msg::GridSizeSuffix);
  }
  auto state = std::make_shared<ProcessGrid::State>();
  state->comm = comm;
  state->rows = rows;
  state->cols = cols;
  MPI_Comm_rank(comm, &state->rank);
  state->systemContext = Csys2blacs_handle(comm);
  state->context = state->systemContext;
  Cblacs_gridinit(&state->context, "Row", rows, cols);
  int nprow = 0, npcol = 0;
  Cblacs_gridinfo(state->context, &nprow, &npcol, &state->myRow, &state->myCol);
  // Where each grid process is in the communicator, as BLACS placed them.
  std::vector<int> coordinates(2 * static_cast<std::size_t>(size));
  const int mine[2] = {state->myRow, state->myCol};
  MPI_Allgather(mine, 2, MPI_INT, coordinates.data(), 2, MPI_INT, comm);
  state->rankOf.assign(static_cast<std::size_t>(size), 0);
  for (int r = 0; r < size; ++r) {
    state->rankOf[static_cast<std::size_t>(coordinates[2 * r] * cols + coordinates[2 * r + 1])] = r;
  }
  return state;
}

}  // namespace

ProcessGrid::State::~State() {
  // After MPI_Finalize the BLACS can no longer release their communicators.
  int finalized = 0;
  MPI_Finalized(&finalized);
  if (finalized) return;
  if (context >= 0) Cblacs_gridexit(context);
  if (systemContext >= 0) Cfree_blacs_system_handle(systemContext);
}

ProcessGrid::ProcessGrid(MPI_Comm comm) {
  RequireMpi();
  const int rows = SquarestRows(SizeOf(comm));
  m_state = MakeGrid(comm, rows, SizeOf(comm) / rows);
}

ProcessGrid::ProcessGrid(MPI_Comm comm, int rows, int cols) {
  RequireMpi();
  m_state = MakeGrid(comm, rows, cols);
}

int ProcessGrid::get_Rows() const { return m_state->rows; }
int ProcessGrid::get_Cols() const { return m_state->cols; }
int ProcessGrid::get_MyRow() const { return m_state->myRow; }
int ProcessGrid::get_MyCol() const { return m_state->myCol; }
int ProcessGrid::get_Rank() const { return m_state->rank; }
MPI_Comm ProcessGrid::get_Communicator() const { return m_state->comm; }
int ProcessGrid::get_Context() const { return m_state->context; }

const std::shared_ptr<const ProcessGrid::State>& DistributedAccess::GridOf(const ProcessGrid& g) {
  return g.m_state;
}

}  // namespace OrvaneNet
