// The component rows and the release of their detected IDE roots.
#include "engine/component_table.h"

void ReleaseComponentRoots() {}
