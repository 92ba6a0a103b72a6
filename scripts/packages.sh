# Sourced by run.sh and test.sh: installs the Debian 12 packages Ferrolume needs when they are
# missing, or says the one apt-get line to run when we are not root.

FERROLUME_BUILD_PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  libqt6svg6 qt6-qpa-plugins libgl-dev libpolyclipping-dev"
FERROLUME_TEST_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev clang-format xvfb xauth
  xdotool imagemagick poppler-utils desktop-file-utils xdg-utils shared-mime-info gerbv unzip"

ferrolume_missing_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]:-}"
}

ferrolume_ensure_packages() {
  local missing
  missing=$(ferrolume_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Ferrolume needs these Debian packages. Run this once, then try again:" >&2
    echo "  sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
}
