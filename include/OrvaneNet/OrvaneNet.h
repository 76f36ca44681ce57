// Umbrella header: every public class of the library.
#pragma once

#include "OrvaneNet/Complex.h"
#include "OrvaneNet/MatrixType.h"
#include "OrvaneNet/OrvaneException.h"
