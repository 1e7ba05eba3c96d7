#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test (only those missing).
set -euo pipefail

# libqt6opengl6-dev: Debian's qt6-charts-dev needs its CMake files but does not depend on it.
PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6charts6 libqt6opengl6-dev qt6-translations-l10n libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
    libgl-dev libsqlite3-dev sqlite3 libpq-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-arphic-ukai fonts-arphic-uming fonts-noto-cjk
    poppler-utils imagemagick
    postgresql postgresql-common odbc-postgresql unixodbc tdsodbc
    cups cups-client printer-driver-cups-pdf
    xvfb xauth xdotool openbox
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
