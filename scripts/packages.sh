# Installs the Debian packages that the build, the tests and the demo need, when any is missing.
# Sourced by the set-up scripts; safe to run again.

KIOSK_PACKAGES=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools
    unixodbc unixodbc-dev libsqliteodbc odbc-postgresql
    postgresql sqlite3
    fonts-arphic-uming xvfb x11-utils imagemagick
)

kiosk_install_packages() {
    local missing=()
    for package in "${KIOSK_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "${missing[@]}"
}
