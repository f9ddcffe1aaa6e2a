// Two headers of one folder that include each other: refused.
#include "vxbind/writers/B.h"
