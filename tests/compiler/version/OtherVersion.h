// Forced before a generated header (-include) by the version test: the
// runtime's version header as another vxbind would have it.
#define VXBIND_PLATFORM_VERSION_H
#define VXBIND_VERSION_MAJOR 0
#define VXBIND_VERSION_MINOR 99
#define VXBIND_VERSION_PATCH 0
#define VXBIND_VERSION_STRING "0.99.0"
