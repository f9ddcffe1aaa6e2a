// A value type that reaches up to the writers: refused.
#include "vxbind/writers/XmlWriter.h"
