#!/bin/sh
# Installs the XML libraries the benchmark compares against. expat and libxml2
# development packages are expected to be present already; they are listed too
# so that a fresh machine gets everything in one go.
set -e
SUDO=
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
fi
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    libpugixml-dev libtinyxml2-dev libexpat1-dev libxml2-dev libbenchmark-dev
