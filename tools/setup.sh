#!/usr/bin/env bash
# Installs on Debian, if missing, what vxbind needs for one purpose:
#
#   tools/setup.sh example   building the library and vxbindc, and running
#                            the examples: a compiler, CMake, make,
#                            pkg-config, Expat, zlib, PCRE2
#   tools/setup.sh tests     all of that, and what the test suite and the
#                            benchmarks use besides (below); also what
#                            tools/setup.sh without argument does
#
# For the tests: Google Test; Google Benchmark, libxml2 and pugixml (the
# benchmarks' baselines, compared against only); xsdcxx with libxerces-c-dev
# (CodeSynthesis XSD) and gsoap with libgsoap-dev, the peer binders of
# bench_binding; Java and libfastinfoset-java, the reference implementation
# of Fast Infoset (ITU-T X.891) that the interoperability tests run against
# ours. The library itself never uses any of these.
set -euo pipefail
purpose=${1:-tests}
case "$purpose" in
  example|tests) ;;
  *) echo "usage: tools/setup.sh example|tests" >&2; exit 2 ;;
esac

packages=(g++ cmake make pkg-config libexpat1-dev zlib1g-dev libpcre2-dev)
if [ "$purpose" = tests ]; then
  packages+=(libgtest-dev libbenchmark-dev libxml2-dev libpugixml-dev
             xsdcxx libxerces-c-dev gsoap libgsoap-dev
             default-jdk-headless libfastinfoset-java)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
updated=no
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  updated=yes
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
[ "$purpose" = tests ] || exit 0

# The example schemas and instance documents of xsdcxx and libxerces-c-dev
# are round-trip tests of the schema compiler (tests/roundtrip). Where
# packages are installed without /usr/share/doc (Debian's Docker images
# exclude it), they are unpacked from the packages themselves into
# build/debian-docs, where the tests look second.
root=$(cd "$(dirname "$0")/.." && pwd)
docs=$root/build/debian-docs
for entry in xsdcxx:usr/share/doc/xsdcxx/examples/cxx/tree/hello/hello.xsd \
             libxerces-c-dev:usr/share/doc/libxerces-c-dev/examples/data/personal.xsd; do
  p=${entry%%:*}
  file=${entry#*:}
  if [ -e "/$file" ] || [ -e "$docs/$file" ]; then continue; fi
  echo "Unpacking the examples of $p into $docs"
  mkdir -p "$docs/debs"
  rm -f "$docs/debs/${p}"_*.deb
  if ! (cd "$docs/debs" && apt-get download -qq "$p" 2>/dev/null); then
    if [ "$updated" = no ]; then
      $sudo apt-get update -qq
      updated=yes
    fi
    (cd "$docs/debs" && apt-get download -qq "$p")
  fi
  dpkg-deb -x "$(ls "$docs/debs/${p}"_*.deb | head -n 1)" "$docs"
done
