#include "tests/support/TestSupport.h"

#include <stdexcept>

ScratchDirectory::ScratchDirectory() {
  if (!directory_.isValid()) throw std::runtime_error("cannot create a scratch directory");
}
