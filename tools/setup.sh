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
