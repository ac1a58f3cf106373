# Sourced by run.sh and test.sh: note what is missing with can_lenh/can_goi,
# then cai_thieu installs it all in one apt-get run (Debian/Ubuntu).
thieu=()
# A command that must exist, and the package that brings it.
can_lenh() { command -v "$1" >/dev/null 2>&1 || thieu+=("$2"); }
# A package that must be installed (libraries and headers have no command).
can_goi() { dpkg -s "$1" >/dev/null 2>&1 || thieu+=("$1"); }
cai_thieu() {
  [ ${#thieu[@]} -gt 0 ] || return 0
  echo "== installing: ${thieu[*]}"
  local sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${thieu[@]}"
}
