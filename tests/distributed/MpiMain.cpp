// main() of the multi-process tests: MPI around GoogleTest. Rank 0 prints the
// usual report; the other ranks print only their failures, marked with
// their rank, so that a fault seen on one process alone still shows.
#include <gtest/gtest.h>
#include <mpi.h>

#include <iostream>

namespace {

class RankFailurePrinter : public testing::EmptyTestEventListener {
 public:
  explicit RankFailurePrinter(int rank) : m_rank(rank) {}
  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (!result.failed()) return;
    std::cerr << "[rank " << m_rank << "] " << (result.file_name() ? result.file_name() : "?") << ':'
              << result.line_number() << ": " << result.summary() << '\n';
  }

 private:
  int m_rank;
};

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  testing::InitGoogleTest(&argc, argv);
  int rank = 0;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  if (rank != 0) {
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    delete listeners.Release(listeners.default_result_printer());
    listeners.Append(new RankFailurePrinter(rank));
  }
  int failed = RUN_ALL_TESTS();
  MPI_Allreduce(MPI_IN_PLACE, &failed, 1, MPI_INT, MPI_MAX, MPI_COMM_WORLD);
  MPI_Finalize();
  return failed;
}
