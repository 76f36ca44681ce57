// Turning LAPACK's info into the library's exceptions, and the shape checks
// made before a LAPACK call so that LAPACK never runs outside an array.
#pragma once

#include <string>

namespace OrvaneNet {
class IMatrix;
}

namespace OrvaneNet::detail {

// Replaces every "{0}" and "{i}" in `text` by the decimal text of `value`.
std::string FillPlaceholders(const char* text, long long value);

// info < 0: throws the illegal-parameter message with -info. Otherwise
// returns: after routines that report no positive info, or whose positive
// info the caller handles itself.
void CheckIllegal(int info);
// CheckIllegal, then for info > 0 throws `positiveMessage` with its
// placeholders filled with info.
void CheckInfo(int info, const char* positiveMessage);

// Throws OrvaneException when `b` does not have exactly `rows` rows.
void RequireRows(const IMatrix& b, int rows, const char* what = "Matrix b");
// Throws OrvaneException when `m` is not rows x cols.
void RequireShape(const IMatrix& m, int rows, int cols, const char* what);
// Throws OrvaneException when a dimension is negative.
void RequireNonNegative(int rows, int cols);

}  // namespace OrvaneNet::detail
