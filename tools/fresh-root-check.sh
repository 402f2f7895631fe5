#!/usr/bin/env bash
# Proves the README's two set-up commands on a brand-new Debian 12 root whose
# apt sources name a local caching proxy, apt-cacher-ng on 127.0.0.1:3142,
# instead of a mirror. The proxy's upstream is the Debian mirror this machine
# already installs from, read from its own apt configuration.
#
#   sudo tools/fresh-root-check.sh /some/empty/folder
#
# Installs and starts apt-cacher-ng and debootstrap on this machine, builds
# the root with debootstrap through the proxy, clones this repository's HEAD
# into it and runs `tools/run.sh` and `tools/test.sh` there. The root stays
# behind for inspection; its mounts do not.
set -euo pipefail

root=${1:?usage: fresh-root-check.sh <empty folder>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
proxy=http://127.0.0.1:3142

[ "$(id -u)" -eq 0 ] || { echo "fresh-root-check: needs root (debootstrap, chroot, mounts)" >&2; exit 1; }
if [ -e "$root" ] && [ -n "$(ls -A "$root")" ]; then
  echo "fresh-root-check: $root is not empty" >&2; exit 1
fi

# The URI this machine takes a Debian suite's main component from, as apt
# resolved it from the .sources files and sources.list alike.
machine_uri_of() {
  apt-cache policy | awk -v suite="$1/main" '$3 == suite && /Packages/ { print $2; exit }'
}
mirror=$(machine_uri_of bookworm)
security=$(machine_uri_of bookworm-security)
[ -n "$mirror" ] || { echo "fresh-root-check: this machine has no bookworm source" >&2; exit 1; }
through_proxy() { echo "$proxy/${1#*://}"; }

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq apt-cacher-ng debootstrap >/dev/null
# apt-cacher-ng sends requests for any Debian mirror to its backend list;
# point that at the machine's own mirror, which is known to be reachable.
echo "$mirror/" >/etc/apt-cacher-ng/backends_debian
service apt-cacher-ng restart >/dev/null

mkdir -p "$root"
debootstrap bookworm "$root" "$(through_proxy "$mirror")" >"$root.debootstrap.log"
{
  echo "deb $(through_proxy "$mirror") bookworm main"
  echo "deb $(through_proxy "$mirror") bookworm-updates main"
  [ -z "$security" ] || echo "deb $(through_proxy "$security") bookworm-security main"
} >"$root/etc/apt/sources.list"

mounts=()
unmount_all() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" || true; done
}
trap unmount_all EXIT
for fs in proc sys dev dev/pts; do
  mount --bind "/$fs" "$root/$fs"
  mounts+=("$root/$fs")
done

git clone -q "$repo" "$root/root/UserData"
chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /root/UserData && tools/run.sh && tools/test.sh'
echo "fresh-root-check: both commands succeeded in $root"
