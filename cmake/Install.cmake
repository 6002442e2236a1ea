# Installation in the Debian games layout, desktop integration, the Debian
# package, and the test of an installed copy.
#
#   <prefix>/games/vollix                  launcher on the PATH
#   <prefix>/lib/games/vollix/vollix       the game itself
#   <prefix>/share/games/vollix/data.dat   the game data
#
# The game reads data.dat and writes hiscores.hst in its working directory,
# so the launcher runs it inside the player's own data folder.

include(GNUInstallDirs)

set(VOLLIX_INSTALL_GAMESDIR "games" CACHE STRING
  "Folder of the vollix launcher, relative to the install prefix")
set(VOLLIX_INSTALL_LIBDIR "lib/games/vollix" CACHE STRING
  "Folder of the game binary, relative to the install prefix")
set(VOLLIX_INSTALL_DATADIR "share/games/vollix" CACHE STRING
  "Folder of data.dat, relative to the install prefix")

set(VOLLIX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(VOLLIX_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(VOLLIX_DEB_VERSION ${PROJECT_VERSION}-1)

# Debian's ImageMagick only, never a stand-in of the same name elsewhere on
# the PATH; turned off like a package with CMAKE_DISABLE_FIND_PACKAGE_ImageMagick.
if(NOT CMAKE_DISABLE_FIND_PACKAGE_ImageMagick)
  find_program(VOLLIX_CONVERT convert PATHS /usr/bin NO_DEFAULT_PATH)
endif()
find_program(VOLLIX_GZIP gzip REQUIRED)

# --- Icons, drawn from the built data.dat ------------------------------------

if(NOT VOLLIX_CONVERT)
  message(STATUS "ImageMagick's convert not found: the icons and the install tests are off")
else()
  add_executable(vollix_icon ${VOLLIX_PACKAGING_DIR}/icon/vollix_icon.cpp)
  target_link_libraries(vollix_icon PRIVATE vollix_core)

  set(VOLLIX_ICON_SIZES 16 32 48 64 128 256)
  set(VOLLIX_ICON_MASTER ${VOLLIX_PACKAGING_OUT}/vollix-icon.pcx)
  add_custom_command(OUTPUT ${VOLLIX_ICON_MASTER}
    COMMAND vollix_icon ${VOLLIX_DATA_FILE} ${VOLLIX_ICON_MASTER}
    DEPENDS vollix_icon ${VOLLIX_DATA_FILE}
    COMMENT "Drawing the icon from data.dat"
    VERBATIM)

  set(VOLLIX_ICON_FILES)
  foreach(size IN LISTS VOLLIX_ICON_SIZES)
    set(png ${VOLLIX_PACKAGING_OUT}/icons/${size}x${size}/vollix.png)
    # The master is 128 px of game pixels: doubled sharp, shrunk smooth.
    if(size GREATER 128)
      set(filter -filter point)
    else()
      set(filter)
    endif()
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VOLLIX_PACKAGING_OUT}/icons/${size}x${size}
      COMMAND ${VOLLIX_CONVERT} ${VOLLIX_ICON_MASTER} ${filter} -resize ${size}x${size}!
        -strip -define png:exclude-chunks=date,time PNG32:${png}
      DEPENDS ${VOLLIX_ICON_MASTER}
      VERBATIM)
    list(APPEND VOLLIX_ICON_FILES ${png})
    install(FILES ${png}
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(vollix_icons ALL DEPENDS ${VOLLIX_ICON_FILES})
  add_dependencies(vollix_icons vollix_data)
endif()

# --- Metainfo and Debian changelog -----------------------------------

set(VOLLIX_HOMEPAGE_URL "https://vollix.github.io" CACHE STRING
  "The project's home page; the metainfo's screenshots are its docs/menu.png and docs/play.png")
# The release is dated from SOURCE_DATE_EPOCH (which string(TIMESTAMP) reads),
# else from the last commit, so that builds of one commit agree.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE vollix_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(vollix_commit_time)
    set(ENV{SOURCE_DATE_EPOCH} ${vollix_commit_time})
  endif()
endif()
string(TIMESTAMP VOLLIX_RELEASE_DATE "%Y-%m-%d" UTC)
if(vollix_commit_time)
  unset(ENV{SOURCE_DATE_EPOCH})
endif()
configure_file(${VOLLIX_PACKAGING_DIR}/io.github.vollix.Vollix.metainfo.xml
  ${VOLLIX_PACKAGING_OUT}/io.github.vollix.Vollix.metainfo.xml @ONLY)
configure_file(${VOLLIX_PACKAGING_DIR}/changelog.Debian.in
  ${VOLLIX_PACKAGING_OUT}/changelog.Debian @ONLY)

# Debian wants it gzipped at the highest level, without a time stamp.
add_custom_command(OUTPUT ${VOLLIX_PACKAGING_OUT}/changelog.Debian.gz
  COMMAND ${VOLLIX_GZIP} -9 -n -f -k ${VOLLIX_PACKAGING_OUT}/changelog.Debian
  DEPENDS ${VOLLIX_PACKAGING_OUT}/changelog.Debian
  VERBATIM)
add_custom_target(vollix_docs ALL DEPENDS ${VOLLIX_PACKAGING_OUT}/changelog.Debian.gz)

# --- Install rules ---------------------------------------------------------------

install(TARGETS vollix RUNTIME DESTINATION ${VOLLIX_INSTALL_LIBDIR})
install(FILES ${VOLLIX_DATA_FILE} DESTINATION ${VOLLIX_INSTALL_DATADIR})
install(FILES ${VOLLIX_PACKAGING_DIR}/vollix.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${VOLLIX_PACKAGING_OUT}/io.github.vollix.Vollix.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${VOLLIX_PACKAGING_DIR}/copyright ${VOLLIX_PACKAGING_OUT}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vollix)

install(FILES ${VOLLIX_PACKAGING_DIR}/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME vollix)

# The launcher and the man page are written at install time so that they
# name the paths under the prefix actually installed to (a temporary one in
# the tests, /usr in the Debian package).
install(CODE "
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  set(VOLLIX_GAME_BINARY \"\${CMAKE_INSTALL_PREFIX}/${VOLLIX_INSTALL_LIBDIR}/vollix\")
  set(VOLLIX_GAME_DATA \"\${CMAKE_INSTALL_PREFIX}/${VOLLIX_INSTALL_DATADIR}/data.dat\")
  set(VOLLIX_MAN_DATA_DIR \"\${CMAKE_INSTALL_PREFIX}/${VOLLIX_INSTALL_DATADIR}\")
  set(staging \"${VOLLIX_PACKAGING_OUT}/staging\")
  configure_file(\"${VOLLIX_PACKAGING_DIR}/vollix.sh.in\" \"\${staging}/vollix\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${VOLLIX_INSTALL_GAMESDIR}\"
    TYPE PROGRAM FILES \"\${staging}/vollix\")
  configure_file(\"${VOLLIX_PACKAGING_DIR}/vollix.6\" \"\${staging}/vollix.6\" @ONLY)
  execute_process(COMMAND \"${VOLLIX_GZIP}\" -9 -n -f \"\${staging}/vollix.6\"
    RESULT_VARIABLE gzip_failed)
  if(gzip_failed)
    message(FATAL_ERROR \"gzip of the man page failed\")
  endif()
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man6\"
    TYPE FILE FILES \"\${staging}/vollix.6.gz\")
")

# --- Debian package: cpack -G DEB ------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vollix)
set(CPACK_PACKAGE_VENDOR "Vollix developers")
set(CPACK_PACKAGE_CONTACT "Vollix developers <vollix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade shooter against paratroopers")
# CPack puts the summary first and indents every line of this.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A gun stands at the bottom of a starry night sky and paratroopers drift
down under swaying parachutes. Turn the barrel with the arrow keys and fire
with the space bar: a shell through the parachute sends a trooper plunging,
a shell through the body removes him at once. When too many troopers have
landed, the game is over.
.
Four difficulty presets (Easy, Normal, Impossible and Fun) and a table of
the five best scores, kept per player.")
# Install to /usr through DESTDIR, so the launcher names /usr paths.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${VOLLIX_PACKAGING_DIR}/strip_comment.cmake)
include(CPack)

# --- Tests of the build, an installed copy and the package -------------------

if(VOLLIX_WITH_TESTS)
  # Builds data.dat twice in two fresh folders and compares them.
  add_test(NAME data_reproducible COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/data_twice.sh
    ${CMAKE_SOURCE_DIR}/assets/pack_data.cmake ${CMAKE_COMMAND} ${VOLLIX_PACK_DATA})
  # A plain build without the test, benchmark and icon tools.
  add_test(NAME light_build COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/light_build.sh
    ${CMAKE_SOURCE_DIR})
  set_tests_properties(data_reproducible light_build PROPERTIES LABELS build TIMEOUT 600)
endif()
if(VOLLIX_WITH_TESTS AND VOLLIX_CONVERT)
  add_test(NAME install_launcher
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/install_test.sh ${CMAKE_BINARY_DIR})
  add_test(NAME package_lintian
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install_launcher package_lintian PROPERTIES LABELS install TIMEOUT 600)
endif()
