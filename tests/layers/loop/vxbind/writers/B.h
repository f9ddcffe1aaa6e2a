#include "vxbind/writers/A.h"
