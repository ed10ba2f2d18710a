# Installs the Debian packages that are missing; sourced by run.sh and test.sh.
# Quick when everything is there: only dpkg is asked.

TAVREL_BUILD_PACKAGES=(
    cmake g++ make pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5sql5-mysql qttranslations5-l10n
    libx11-dev libxtst-dev libx11-xcb-dev libxcb1-dev
    fonts-font-awesome fonts-wqy-microhei rime-data-wubi
)
# Text sending and progress views: the speed curve's plot widget.
TAVREL_BUILD_PACKAGES+=(libqcustomplot-dev)
TAVREL_TEST_PACKAGES=(mariadb-server mariadb-client xvfb openbox xauth xdotool)
# Fuzz targets (fuzz/): clang with the sanitizer and libFuzzer run-time.
TAVREL_TEST_PACKAGES+=(clang libclang-rt-14-dev)

tavrel_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$pkg"
        fi
    done
}

tavrel_ensure_packages() {
    local missing
    missing=$(tavrel_missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "These packages are missing and there is no sudo to install them:" $missing >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing:" $missing
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

tavrel_build() {
    local dir=$1
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
