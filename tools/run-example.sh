#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine (only what the example needs:
# tools/setup.sh example), builds the library and vxbindc, and runs the main
# example: the purchase order of the XML Schema Primer, bound to the classes
# that vxbindc generates from examples/po/po.xsd at build time.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh example
cmake -S . -B build/example -DCMAKE_BUILD_TYPE=Release -DVXBIND_BUILD_TESTS=OFF >/dev/null
cmake --build build/example -j"$(nproc)" --target example_purchase_order
build/example/examples/example_purchase_order
