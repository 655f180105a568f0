# Sourced first thing by the scripts that run Wine for this project. Run as
# root, they go on without the capabilities that let root ignore file
# permissions, so a read-only folder is read-only to the program and its tests
# as it is to a user. Root keeps its identity: the prefix stays its own.
# Without setpriv, or without the right to drop capabilities, nothing changes.
if [ "$(id -u)" = 0 ] && [ -z "${OSTREVANE_USER_PERMISSIONS:-}" ] &&
  setpriv --bounding-set=-dac_override,-dac_read_search,-fowner true 2>/dev/null; then
  export OSTREVANE_USER_PERMISSIONS=1
  exec setpriv --bounding-set=-dac_override,-dac_read_search,-fowner "$0" "$@"
fi
