// A public header that includes an internal one: refused.
#include "vxbind/platform/detail/Memory.h"
