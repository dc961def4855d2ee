# Shared by the stand-in tools: a Windows path as a host path, through the
# same dosdevices folder TidewellKit uses (exact case only).
host_path() {
  local p="$1" dev
  dev="${TIDEWELL_DOSDEVICES:-${WINEPREFIX:-$HOME/.wine}/dosdevices}"
  case "$p" in
    [A-Za-z]:*)
      local drive="${p:0:1}"
      drive="${drive,,}"
      local rest="${p:2}"
      rest="${rest//\\//}"
      if [ -e "$dev/$drive:" ]; then printf '%s\n' "$dev/$drive:$rest"
      elif [ "$drive" = z ]; then printf '%s\n' "$rest"
      else printf '%s\n' "$dev/$drive:$rest"; fi ;;
    *) printf '%s\n' "${p//\\//}" ;;
  esac
}
