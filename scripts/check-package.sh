#!/usr/bin/env bash
# Builds the Debian package and checks it: exactly the expected files, and
# what lintian says. Slow, so not part of `make test`.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in lintian dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || need+=("$tool")
done
if [ -n "${need[*]:-}" ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends lintian dpkg-dev
fi

make package
deb=$(ls -t build/glimber_*.deb | head -n 1)

expected=$(cat <<'LIST'
./usr/bin/glimber -> ../libexec/glimber/glimber
./usr/bin/qxc -> ../libexec/glimber/qxc
./usr/libexec/glimber/glimber
./usr/libexec/glimber/qxc
./usr/libexec/glimber/qxcapture
./usr/libexec/glimber/qxocr
./usr/libexec/glimber/qxscroll
./usr/share/applications/glimber-annotate.desktop
./usr/share/applications/glimber.desktop
./usr/share/bash-completion/completions/glimber
./usr/share/bash-completion/completions/qxc
./usr/share/doc/glimber/changelog.gz
./usr/share/doc/glimber/copyright
./usr/share/icons/hicolor/scalable/apps/glimber.svg
./usr/share/icons/hicolor/symbolic/apps/glimber-symbolic.svg
./usr/share/man/man1/glimber.1.gz
./usr/share/man/man1/qxc.1.gz
./usr/share/metainfo/net.glimvault.Glimber.metainfo.xml
LIST
)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' | sort)
if [ "$actual" != "$expected" ]; then
  echo "check-package: $deb does not hold exactly the expected files:" >&2
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  exit 1
fi
echo "check-package: $deb holds the expected $(echo "$expected" | wc -l) files"
dpkg-deb -f "$deb" Package Version Depends Recommends
echo "lintian:"
lintian --pedantic --display-info "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian "$deb" 2>&1 | grep -q '^E:' && { echo "check-package: lintian reports errors" >&2; exit 1; }
exit 0
