# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by run.sh and test.sh: install what is missing, then configure and build.
# shellcheck shell=bash

# What building and running Tidewell needs.
run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qcoro-qt6-dev libexpected-dev libxxhash-dev
    libbtrfsutil-dev
    gocryptfs fuse3
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    rsync openssh-client
)
# What only the test suite needs on top: a real sshd, a private session bus,
# systemd-analyze for the generated units, the validators of the desktop entry,
# metainfo and man page, dpkg-dev and lintian for the Debian package,
# clang-format for the formatting check, clang-tidy for the static analysis,
# python3 for the source checks (coroutine shapes, function length), and sudo,
# acl and attr for the whole-server backups (a sudoers drop-in, ACLs and
# extended attributes), promtool (prometheus) for the metrics file, and
# btrfs-progs for the btrfs image the snapshot tests mount.
test_packages=(
    openssh-server dbus-daemon dbus-bin systemd
    desktop-file-utils appstream man-db dpkg-dev lintian clang-format clang-tidy
    python3 sudo acl attr locales prometheus sqlite3 btrfs-progs
)
# The languages the suite runs Tidewell (and rsync) in.
test_locales=(de_DE fr_FR)

# ensure_locales NAME...: generates NAME.UTF-8 where the C library lacks it.
ensure_locales() {
    local name
    for name in "$@"; do
        if LC_ALL="$name.UTF-8" locale decimal_point 2>&1 >/dev/null | grep -q .; then
            if [ "$(id -u)" -eq 0 ]; then
                echo "Generating the locale $name.UTF-8"
                localedef -i "$name" -f UTF-8 "$name.UTF-8"
            else
                echo "The tests need the locale $name.UTF-8. Generate it with:"
                echo "  sudo localedef -i $name -f UTF-8 $name.UTF-8"
                exit 1
            fi
        fi
    done
}

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Tidewell needs these Debian packages. Install them with:"
        echo "  sudo apt-get install ${missing[*]}"
        exit 1
    fi
}

# build_tidewell TOP [FOLDER] [cmake -D options…]: configures and builds in
# TOP/FOLDER (default build/).
build_tidewell() {
    local top="$1"
    shift
    local folder=build
    if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
        folder="$1"
        shift
    fi
    local type="${TIDEWELL_BUILD_TYPE:-RelWithDebInfo}"
    if [ ! -f "$top/$folder/build.ninja" ]; then
        cmake -S "$top" -B "$top/$folder" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
    elif [ $# -gt 0 ]; then
        cmake -S "$top" -B "$top/$folder" "$@" >/dev/null
    fi
    cmake --build "$top/$folder" -j2
}
