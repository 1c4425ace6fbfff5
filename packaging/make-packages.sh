#!/bin/sh
# Makes the Debian packages of a build: velta-host_VERSION_ARCH.deb and one
# package for each application (velta-demo_VERSION_ARCH.deb for the demo), in
# OUT-DIR (default BUILD-DIR/packages). One cpack run per package, so that each
# application package carries its own version, maintainer and home page.
#   packaging/make-packages.sh BUILD-DIR [OUT-DIR]
set -eu
build=$(cd "${1:?usage: make-packages.sh BUILD-DIR [OUT-DIR]}" && pwd)
out=${2:-$build/packages}
if [ ! -f "$build/CPackConfig.cmake" ] || [ ! -f "$build/velta-packages.txt" ]; then
    echo "make-packages: $build is not a configured velta-host build (scripts/build.sh DIR)" >&2
    exit 1
fi
if grep -q '^VELTA_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "make-packages: $build is a sanitizer build; package a normal one" >&2
    exit 1
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
begin=$(date +%s)
cd "$build"
while read -r component; do
    [ -n "$component" ] || continue
    # Builds what is out of date, installs the component into a staging
    # folder, computes its dependencies (dpkg-shlibdeps) and writes the .deb.
    nice cpack -G DEB -B "$out" -D CPACK_COMPONENTS_ALL="$component" > "$out/cpack-$component.log" 2>&1 || {
        cat "$out/cpack-$component.log" >&2
        exit 1
    }
    sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$out/cpack-$component.log"
done < "$build/velta-packages.txt"
rm -rf "$out/_CPack_Packages"
echo "make-packages: done in $(( $(date +%s) - begin )) s"
