// The product's version as the build gives it (cmake/ProductVersion.cmake).
// Compiled by each build that links the programs, beside the resources that
// carry the same number.
#include "contract/product.h"
#include "product_version.h"

namespace pixelmoor {

const int kVersionMajor = PM_VERSION_MAJOR;
const int kVersionMinor = PM_VERSION_MINOR;

}  // namespace pixelmoor
