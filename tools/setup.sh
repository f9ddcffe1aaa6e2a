#!/usr/bin/env bash
# Installs what vxbind needs to build, test and benchmark on Debian, if missing.
# Java and libfastinfoset-java serve the Fast Infoset interoperability tests
# only (the reference implementation of X.891); the library never uses them.
# xsdcxx with libxerces-c-dev (CodeSynthesis XSD) and gsoap with libgsoap-dev
# are the peer binders of bench_binding, benchmarks only.
set -euo pipefail
packages=(g++ cmake make pkg-config libexpat1-dev zlib1g-dev libpcre2-dev libgtest-dev
          libbenchmark-dev libxml2-dev libpugixml-dev
          xsdcxx libxerces-c-dev gsoap libgsoap-dev
          default-jdk-headless libfastinfoset-java)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

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
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    (cd "$docs/debs" && apt-get download -qq "$p")
  fi
  dpkg-deb -x "$(ls "$docs/debs/${p}"_*.deb | head -n 1)" "$docs"
done
