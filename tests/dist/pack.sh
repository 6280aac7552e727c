# shellcheck shell=bash
# Sourced by the package tests after checks.sh: packs this build tree with cpack.
#   pack CPACK CPACK_CONFIG GENERATOR FILE   packs into $work/out; sets packed=$work/out/FILE
pack() {
  if ! "$1" --config "$2" -G "$3" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail_now "cpack failed"
  fi
  packed="$work/out/$4"
  [[ -f $packed ]] || fail_now "no $4; cpack says: $(cat "$work/cpack.log")"
  pass "cpack made $4"
}
