/// Umbrella header: every public class of the library.
#pragma once

#include "OrvaneNet/Bessel.h"
#include "OrvaneNet/Complex.h"
#include "OrvaneNet/ComplexMatrix.h"
#include "OrvaneNet/Eigenproblem.h"
#include "OrvaneNet/EigenvalueProblem.h"
#include "OrvaneNet/FFT.h"
#include "OrvaneNet/LUFactorization.h"
#include "OrvaneNet/LeastSquare.h"
#include "OrvaneNet/LinearEquation.h"
#include "OrvaneNet/Matrix.h"
#include "OrvaneNet/MatrixFormatter.h"
#include "OrvaneNet/MatrixType.h"
#include "OrvaneNet/OrvaneException.h"
#include "OrvaneNet/Polynomial.h"
#include "OrvaneNet/PolynomialFitting.h"
#include "OrvaneNet/SingularValueDecomposition.h"
