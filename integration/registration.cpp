#include "integration/registration.h"

namespace pixelmoor {

int RegisterApplication(int, std::wstring_view, int, int, int, int, const AssociationSelection&) { return 1; }  // placeholder

}  // namespace pixelmoor
