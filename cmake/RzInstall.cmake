# Installing the recorder as a desktop program (`cmake --install`, any prefix, DESTDIR honoured)
# and its Debian package (`cpack -G DEB`):
#   lib/rivive-zuzuve/      the program folder as the build lays it out in bin/
#   bin/rivive-zuzuve       the launcher
#   share/applications/     the menu entry
#   share/icons/hicolor/    the application icon, 16 to 256 pixels
#   share/doc/rivive-zuzuve/ copyright and changelog
# Included last from the top-level CMakeLists.txt, once every target exists.

set(RZ_INSTALL_DIR lib/${RZ_PACKAGE_NAME})

# Every target of the source tree below `dir`.
function(rz_all_targets dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    rz_all_targets(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Executables and shared libraries built into the program folder or a folder under it (codes/):
# installed as targets, so that they are stripped in the package and find each other through
# $ORIGIN. Their file names are left out of the folder copy below.
rz_all_targets(${CMAKE_SOURCE_DIR} rz_targets)
set(rz_binary_names)
foreach(target IN LISTS rz_targets)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    get_target_property(output_dir ${target} RUNTIME_OUTPUT_DIRECTORY)
    set(prefix "")
    set(suffix "${CMAKE_EXECUTABLE_SUFFIX}")
  elseif(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    get_target_property(output_dir ${target} LIBRARY_OUTPUT_DIRECTORY)
    set(prefix "${CMAKE_SHARED_LIBRARY_PREFIX}")
    set(suffix "${CMAKE_SHARED_LIBRARY_SUFFIX}")
  else()
    continue()
  endif()
  if(NOT output_dir)
    continue()
  endif()
  string(FIND "${output_dir}/" "${RZ_BIN_DIR}/" at)
  if(NOT at EQUAL 0)
    continue()
  endif()
  file(RELATIVE_PATH subfolder ${RZ_BIN_DIR} ${output_dir})
  get_target_property(install_rpath ${target} INSTALL_RPATH)
  if(NOT install_rpath)
    file(RELATIVE_PATH up ${output_dir} ${RZ_BIN_DIR})
    if(up)
      set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${up}")
    else()
      set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    endif()
  endif()
  install(TARGETS ${target}
          RUNTIME DESTINATION ${RZ_INSTALL_DIR}/${subfolder}
          LIBRARY DESTINATION ${RZ_INSTALL_DIR}/${subfolder})
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  list(APPEND rz_binary_names PATTERN "${prefix}${name}${suffix}" EXCLUDE)
endforeach()

# Everything else of the program folder, whatever the build puts there (skins/, Languages/,
# codes/, help pages), without what the recorder itself writes beside it when it runs there.
install(DIRECTORY ${RZ_BIN_DIR}/ DESTINATION ${RZ_INSTALL_DIR} USE_SOURCE_PERMISSIONS
        PATTERN "Config.ini" EXCLUDE
        PATTERN "Diary" EXCLUDE
        PATTERN "temp*.avi" EXCLUDE
        PATTERN "temp*.wav" EXCLUDE
        ${rz_binary_names})

install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/launcher.sh DESTINATION bin RENAME ${RZ_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${RZ_PACKAGE_NAME}.desktop DESTINATION share/applications)
install(DIRECTORY ${RZ_ICON_THEME_DIR} DESTINATION share/icons)

# The changelog goes compressed, as Debian keeps it.
set(rz_changelog ${CMAKE_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rz_changelog})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9nc INPUT_FILE ${rz_changelog}
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION share/doc/${RZ_PACKAGE_NAME})

# The Debian package. Library dependencies come from dpkg-shlibdeps; what is loaded or run
# without being linked is named here: the Qt platform plugins, the converter's ffmpeg and the
# desktop's opener.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RZ_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Rivive Zuzuve developers")
set(CPACK_PACKAGE_CONTACT "Rivive Zuzuve developers <developers@rivive-zuzuve.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Screen recorder for X11 desktops")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Records the whole screen, a typed or dragged rectangle, or a picked window, with the cursor, "
    "a click halo and sound, into AVI, WMV, MP4, MPEG-1, MPEG-2, FLV or SWF files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, qt6-qpa-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pavucontrol")
include(CPack)
