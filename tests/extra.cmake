# Checks on the files that ship beside the program. Included from tests/CMakeLists.txt after
# enable_testing(). Each check is added only when its tool is on the machine, so a build
# without the desktop tooling still configures cleanly.
set(VT_DATA ${CMAKE_SOURCE_DIR}/data/${VANTRICK_APP_ID})
find_program(VT_DESKTOP_FILE_VALIDATE desktop-file-validate)
if(VT_DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_file_validate COMMAND ${VT_DESKTOP_FILE_VALIDATE} ${VT_DATA}.desktop)
endif()
find_program(VT_APPSTREAMCLI appstreamcli)
if(VT_APPSTREAMCLI)
  # --no-net: the screenshot and homepage URLs are not fetched; the test must not depend on
  # the network.
  add_test(NAME appstream_validate COMMAND ${VT_APPSTREAMCLI} validate --no-net ${VT_DATA}.metainfo.xml)
endif()

find_package(Python3 COMPONENTS Interpreter QUIET)
if(Python3_Interpreter_FOUND)
  # The sound files are generated, not drawn by hand: make sure the committed WAVs
  # are still exactly what the generator produces, so neither drifts from the other.
  add_test(NAME sound_assets_reproducible
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_sounds.py --check ${CMAKE_SOURCE_DIR}/assets)
endif()

# The installed game under a display of its own, as a user who cannot write beside it: needs
# a virtual X server and a way to click and type into it. The same for the Debian package,
# built from the sources as Debian builds it (hardening flags, its tests run inside the
# build), installed with dpkg -i and purged at the end (the install is skipped without root);
# the sanitizer build leaves that to the plain build, as the package is built from the same
# sources in both.
find_program(VT_XVFB Xvfb)
find_program(VT_XDOTOOL xdotool)
if(VT_XVFB AND VT_XDOTOOL)
  set(VT_INSTALL_TEST bash ${CMAKE_SOURCE_DIR}/tests/install_test.sh)
  add_test(NAME install_smoke COMMAND ${VT_INSTALL_TEST} cmake ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(install_smoke PROPERTIES TIMEOUT 900 LABELS system)
  if(NOT VANTRICK_SANITIZE)
    add_test(NAME package_smoke COMMAND ${VT_INSTALL_TEST} deb ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
    set_tests_properties(package_smoke PROPERTIES TIMEOUT 9000 LABELS system SKIP_RETURN_CODE 77)
  endif()
endif()

# A hand played from the keyboard with the Orca screen reader listening: what it would have
# said is read from its log. Skipped (77) where Orca or the accessibility bus is not installed.
if(VT_XVFB AND VT_XDOTOOL AND NOT VANTRICK_SANITIZE)
  add_test(NAME orca_hand COMMAND bash ${CMAKE_SOURCE_DIR}/tests/orca_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(orca_hand PROPERTIES TIMEOUT 1800 LABELS system SKIP_RETURN_CODE 77)
endif()

# --help and --version are answered with no display at all; with no display the game says
# so in one line and ends with status 1 (Qt alone would abort). A wrong argument gets one line
# naming it, the usage and status 2, with a display (offscreen) or without; Qt's own options
# pass. The temporary file holds the game's own error output; the timeout only ends a game
# that wrongly started.
add_test(NAME cli_without_display
         COMMAND sh -c [[
           set -u; p=$1; v=$2; e=$(mktemp); trap 'rm -f "$e"' EXIT
           run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 120 "$p" $args 2>"$e"; }
           args=--version; out=$(run) && [ "$out" = "vantrick $v" ] || { echo "--version gave: $out"; exit 1; }
           args='-platform offscreen -reverse --version'; out=$(run) && [ "$out" = "vantrick $v" ] ||
             { echo "$args gave: $out"; exit 1; }
           args=--help; run | grep -q -- '--version' || { echo "--help does not list --version"; exit 1; }
           args=; run; rc=$?; cat "$e"
           [ "$rc" -eq 1 ] && [ "$(wc -l <"$e")" -eq 1 ] || { echo "no display: status $rc"; exit 1; }
           for case in '--bogus|--bogus' '-reverse -x|-x' 'stray --help|stray' '--version -platform|-platform'; do
             args=${case%|*} bad=${case#*|}
             for display in '' QT_QPA_PLATFORM=offscreen; do
               out=$(run $display); rc=$?
               [ "$rc" -eq 2 ] && [ -z "$out" ] && [ "$(wc -l <"$e")" -eq 2 ] && head -n 1 "$e" | grep -q -- "'$bad'" &&
                 sed -n 2p "$e" | grep -q '^Usage: vantrick' || { echo "'$args' $display: status $rc"; cat "$e"; exit 1; }
             done
           done
         ]] cli $<TARGET_FILE:vantrick> ${PROJECT_VERSION})

# The version is set once, in project(); the package's changelog and the metainfo's latest
# release must say the same.
add_test(NAME version_agrees
         COMMAND sh -c [[
           v=$1; c=$(sed -n '1s/^vantrick (\([^)]*\)).*/\1/p' "$2/debian/changelog")
           m=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$2/data/org.vantrick.Vantrick.metainfo.xml" | head -n 1)
           [ "$c" = "$v" ] && [ "$m" = "$v" ] || { echo "CMake $v, debian/changelog $c, metainfo $m"; exit 1; }
         ]] version ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR})
