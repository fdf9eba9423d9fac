#!/usr/bin/env bash
# tools/windows-installer.sh ARCH (x64 or x86): builds the Windows programs
# of preset mingw-ARCH as a release build into build/package-mingw-ARCH,
# installs them stripped into a staging folder, and makes with NSIS
# build/packages/pelorin-setup-VERSION-ARCH.exe from it
# (packaging/windows/pelorin-setup.nsi). The installer takes, besides the
# programs, every DLL they import that is neither theirs nor the system's
# (MinGW's runtime, if a program links it as a DLL), found with objdump.
# Called by tools/package.sh; needs MinGW-w64 and nsis (installed here).
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:-}
case $arch in
  x64) triple=x86_64-w64-mingw32 ;;
  x86) triple=i686-w64-mingw32 ;;
  *) echo "usage: $0 x64|x86" >&2; exit 2 ;;
esac

tools/install-deps.sh windows nsis

version=$(sed -n 's/^project(CardReaderSuite VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build=build/package-mingw-$arch
stage=$PWD/build/package-mingw-$arch-stage
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake --preset "mingw-$arch" -B "$build" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DSUITE_TESTS=OFF -DSUITE_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
programs=(pelorin skelmar pelorin-cli tandril hidhost)
# Not installed: the installer test uses it to see Pelorin's window.
extra=(win-startup-time)
if grep -q '^hiditems:' <(cmake --build "$build" --target help); then programs+=(hiditems); fi
cmake --build "$build" --target "${programs[@]}" "${extra[@]}"

rm -rf "$stage"
cmake --install "$build" --prefix "$stage/root" --strip >/dev/null
mkdir -p "$stage/programs" "$stage/development"
cp "$stage"/root/bin/*.exe "$stage"/root/bin/*.dll "$stage/programs/"
cp "$stage/root/include/tandril.h" "$stage/root/lib/libTandril.dll.a" "$stage/development/"

# DLLs the programs import that are not among them: from the MinGW runtime
# when there, else the system's own.
runtime_dirs=(/usr/lib/gcc/"$triple"/*-posix /usr/"$triple"/lib)
declare -A seen=()
queue=("$stage"/programs/*)
while ((${#queue[@]})); do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    key=${dll,,}
    [[ -n ${seen[$key]:-} ]] && continue
    seen[$key]=1
    [[ -n $(find "$stage/programs" -maxdepth 1 -iname "$dll") ]] && continue
    for dir in "${runtime_dirs[@]}"; do
      if [[ -f $dir/$dll ]]; then
        cp "$dir/$dll" "$stage/programs/"
        queue+=("$stage/programs/$dll")
        echo "runtime DLL: $dll"
        break
      fi
    done
  done < <("$triple-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done

# The file lists of the installer and its uninstaller.
{
  echo '!macro INSTALL_PROGRAMS'
  for f in "$stage"/programs/*; do echo "  File \"$f\""; done
  echo '!macroend'
  echo '!macro INSTALL_DEVELOPMENT'
  echo '  SetOutPath "$INSTDIR\include"'
  echo "  File \"$stage/development/tandril.h\""
  echo '  SetOutPath "$INSTDIR\lib"'
  echo "  File \"$stage/development/libTandril.dll.a\""
  echo '!macroend'
  echo '!macro UNINSTALL_FILES'
  for f in "$stage"/programs/*; do echo "  Delete \"\$INSTDIR\\$(basename "$f")\""; done
  echo '  Delete "$INSTDIR\include\tandril.h"'
  echo '  Delete "$INSTDIR\lib\libTandril.dll.a"'
  echo '!macroend'
  echo '!macro UNINSTALL_FOLDERS'
  echo '  RMDir "$INSTDIR\include"'
  echo '  RMDir "$INSTDIR\lib"'
  echo '!macroend'
} >"$stage/files.nsh"

mkdir -p build/packages
rm -f build/packages/pelorin-setup-*-"$arch".exe
out=$PWD/build/packages/pelorin-setup-$version-$arch.exe
makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$stage" -DOUTFILE="$out" \
  -DICON="$PWD/utility/win32/pelorin.ico" packaging/windows/pelorin-setup.nsi
ls -l "$out"
