#include <algorithm>
#include <string>

#include "OrvaneNet/Distributed.h"
#include "OrvaneNet/OrvaneException.h"
#include "core/Messages.h"
#include "distributed/Collective.h"
#include "distributed/DistributedMessages.h"
#include "distributed/GridState.h"

namespace OrvaneNet {
namespace detail {

std::vector<int> GlobalIndicesOf(int extent, int block, int proc, int procs) {
  std::vector<int> out;
  for (int start = proc * block; start < extent; start += block * procs) {
    for (int k = start; k < std::min(start + block, extent); ++k) out.push_back(k);
  }
  return out;
}

}  // namespace detail

namespace {

using State = DistributedMatrix::State;

std::string IndexText(int i, int j) { return std::to_string(i) + msg::IndexSeparator + std::to_string(j); }

// MPI counts are int: long arrays travel in pieces.
constexpr std::size_t kPiece = std::size_t{1} << 30;

void SendDoubles(const double* data, std::size_t count, int to, MPI_Comm comm) {
  for (std::size_t done = 0; done < count; done += kPiece) {
    MPI_Send(data + done, static_cast<int>(std::min(kPiece, count - done)), MPI_DOUBLE, to, 0, comm);
  }
}

void ReceiveDoubles(double* data, std::size_t count, int from, MPI_Comm comm) {
  for (std::size_t done = 0; done < count; done += kPiece) {
    MPI_Recv(data + done, static_cast<int>(std::min(kPiece, count - done)), MPI_DOUBLE, from, 0, comm,
             MPI_STATUS_IGNORE);
  }
}

// Calls visit(rank, rows, cols, lld) for the share of every grid process:
// its communicator rank, the global rows and columns it holds in local
// order, and its local leading dimension.
template <class Visit>
void ForEachShare(const State& s, Visit&& visit) {
  const ProcessGrid::State& g = *s.grid;
  for (int r = 0; r < g.rows; ++r) {
    const std::vector<int> rows = detail::GlobalIndicesOf(s.rows, s.block, r, g.rows);
    const std::size_t lld = std::max<std::size_t>(rows.size(), 1);
    for (int c = 0; c < g.cols; ++c) {
      visit(g.rankOf[static_cast<std::size_t>(r * g.cols + c)], rows,
            detail::GlobalIndicesOf(s.cols, s.block, c, g.cols), lld);
    }
  }
}

}  // namespace

DistributedMatrix::DistributedMatrix(std::unique_ptr<State> state) noexcept : m_state(std::move(state)) {}

DistributedMatrix::DistributedMatrix(const ProcessGrid& grid, int rownum, int colnum, int blockSize) {
  const auto& g = DistributedAccess::GridOf(grid);
  const int asked[3] = {rownum, colnum, blockSize};
  detail::RequireSameEverywhere(g->comm, asked);
  if (rownum < 0 || colnum < 0) throw OrvaneException(msg::NegativeDimension);
  if (blockSize < 1) throw OrvaneException(msg::BlockSizeTooSmall);
  auto s = std::make_unique<State>();
  s->grid = g;
  s->rows = rownum;
  s->cols = colnum;
  s->block = blockSize;
  const int zero = 0;
  s->localRows = numroc_(&rownum, &blockSize, &g->myRow, &zero, &g->rows);
  s->localCols = numroc_(&colnum, &blockSize, &g->myCol, &zero, &g->cols);
  const int lld = s->Lld();
  int info = 0;
  // descinit refuses a zero block size only; dimensions are checked above.
  descinit_(s->desc.data(), &rownum, &colnum, &blockSize, &blockSize, &zero, &zero, &g->context, &lld, &info);
  // A process that runs out of memory must not leave the others waiting.
  detail::Collectively(g->comm, [&] {
    s->local.assign(static_cast<std::size_t>(lld) * static_cast<std::size_t>(s->localCols), 0.0);
  });
  m_state = std::move(s);
}

DistributedMatrix DistributedMatrix::Scatter(const ProcessGrid& grid, const Matrix& source, int root,
                                             int blockSize) {
  const auto& g = DistributedAccess::GridOf(grid);
  const int asked[1] = {root};
  detail::RequireSameEverywhere(g->comm, asked);
  if (root < 0 || root >= static_cast<int>(g->rankOf.size())) throw OrvaneException(msg::RootOutOfRange);
  // Only the root knows the shape; a disposed source raises there first.
  int shape[2] = {0, 0};
  detail::Collectively(g->comm, [&] {
    if (g->rank != root) return;
    shape[0] = source.get_RowNum();
    shape[1] = source.get_ColNum();
  });
  MPI_Bcast(shape, 2, MPI_INT, root, g->comm);
  DistributedMatrix out(grid, shape[0], shape[1], blockSize);
  State& s = *out.m_state;

  if (g->rank == root) {
    // One process's local array at a time: the root needs only that much
    // memory beyond the source.
    std::vector<double> buffer;
    ForEachShare(s, [&](int to, const std::vector<int>& rows, const std::vector<int>& cols, std::size_t lld) {
      double* target = s.local.data();
      if (to != root) {
        buffer.resize(lld * cols.size());
        target = buffer.data();
      }
      for (std::size_t lj = 0; lj < cols.size(); ++lj) {
        for (std::size_t li = 0; li < rows.size(); ++li) target[li + lj * lld] = source.get_Item(rows[li], cols[lj]);
      }
      if (to != root) SendDoubles(target, lld * cols.size(), to, g->comm);
    });
  } else {
    ReceiveDoubles(s.local.data(), s.local.size(), root, g->comm);
  }
  return out;
}

Matrix DistributedMatrix::Gather(int root) const {
  const State& s = Checked();
  const auto& g = s.grid;
  const int asked[1] = {root};
  detail::RequireSameEverywhere(g->comm, asked);
  if (root < 0 || root >= static_cast<int>(g->rankOf.size())) throw OrvaneException(msg::RootOutOfRange);
  Matrix out;
  detail::Collectively(g->comm, [&] {
    if (g->rank == root) out = Matrix(s.rows, s.cols);
  });
  if (g->rank != root) {
    SendDoubles(s.local.data(), s.local.size(), root, g->comm);
    return out;
  }
  std::vector<double> buffer;
  ForEachShare(s, [&](int from, const std::vector<int>& rows, const std::vector<int>& cols, std::size_t lld) {
    const double* piece = s.local.data();
    if (from != root) {
      buffer.resize(lld * cols.size());
      ReceiveDoubles(buffer.data(), buffer.size(), from, g->comm);
      piece = buffer.data();
    }
    for (std::size_t lj = 0; lj < cols.size(); ++lj) {
      for (std::size_t li = 0; li < rows.size(); ++li) out(rows[li], cols[lj]) = piece[li + lj * lld];
    }
  });
  return out;
}

DistributedMatrix::DistributedMatrix(DistributedMatrix&& other) noexcept = default;
DistributedMatrix& DistributedMatrix::operator=(DistributedMatrix&& other) noexcept = default;
DistributedMatrix::~DistributedMatrix() = default;

DistributedMatrix DistributedMatrix::Clone() const {
  return DistributedMatrix(std::make_unique<State>(Checked()));
}

DistributedMatrix::State& DistributedMatrix::Checked() const {
  if (!m_state) throw OrvaneException(msg::HandleDisposed);
  return *m_state;
}

int DistributedMatrix::get_RowNum() const { return Checked().rows; }
int DistributedMatrix::get_ColNum() const { return Checked().cols; }
int DistributedMatrix::get_BlockSize() const { return Checked().block; }
ProcessGrid DistributedMatrix::get_Grid() const { return ProcessGrid(Checked().grid); }
bool DistributedMatrix::get_IsFactorized() const { return Checked().factors != Factors::None; }

bool DistributedMatrix::IsLocal(int i, int j) const {
  const State& s = Checked();
  if (i < 0 || j < 0 || i >= s.rows || j >= s.cols) {
    throw OrvaneException("(" + IndexText(i, j) + msg::RangeSuffix);
  }
  return detail::OwnerOf(i, s.block, s.grid->rows) == s.grid->myRow &&
         detail::OwnerOf(j, s.block, s.grid->cols) == s.grid->myCol;
}

namespace {

std::size_t LocalOffset(const State& s, int i, int j) {
  return static_cast<std::size_t>(detail::LocalIndexOf(i, s.block, s.grid->rows)) +
         static_cast<std::size_t>(detail::LocalIndexOf(j, s.block, s.grid->cols)) * static_cast<std::size_t>(s.Lld());
}

[[noreturn]] void NotHere(const State& s, int i, int j) {
  throw OrvaneException(msg::ElementPrefix + IndexText(i, j) + msg::ElementHeldBy +
                        IndexText(detail::OwnerOf(i, s.block, s.grid->rows), detail::OwnerOf(j, s.block, s.grid->cols)) +
                        msg::ElementNotHere);
}

}  // namespace

double DistributedMatrix::get_Item(int i, int j) const {
  if (!IsLocal(i, j)) NotHere(*m_state, i, j);
  return m_state->local[LocalOffset(*m_state, i, j)];
}

void DistributedMatrix::set_Item(int i, int j, double value) {
  if (!IsLocal(i, j)) NotHere(*m_state, i, j);
  m_state->local[LocalOffset(*m_state, i, j)] = value;
  m_state->factors = Factors::None;
  m_state->singularPivot = 0;
}

int DistributedMatrix::get_LocalRowNum() const { return Checked().localRows; }
int DistributedMatrix::get_LocalColNum() const { return Checked().localCols; }
int DistributedMatrix::get_LocalLeadingDimension() const { return Checked().Lld(); }
double* DistributedMatrix::LocalData() { return Checked().local.data(); }
const double* DistributedMatrix::LocalData() const { return Checked().local.data(); }
const int* DistributedMatrix::Descriptor() const { return Checked().desc.data(); }

}  // namespace OrvaneNet
