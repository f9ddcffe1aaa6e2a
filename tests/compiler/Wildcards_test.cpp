#include <gtest/gtest.h>

#include "GeneratedTesting.h"
#include "wildcards.h"
