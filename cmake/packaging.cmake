# What a player installs: the program and its web folder, laid out so that the
# program finds web/ beside itself. Windows: a zip to unzip anywhere; Linux: a
# .deb laid out as Debian lays out a game (the programs in /usr/lib/tavelin3d
# beside web/, links in /usr/games, manual pages, a menu entry with its icon,
# the copyright and changelog). The version is the project's, so every
# package name has one source.
set(_goi ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(TAVELIN_NGUOI_GIU "tavelin3d developers <tavelin3d@users.noreply.invalid>")

if(WIN32)
  install(TARGETS tavelin3d tavelin-uci RUNTIME DESTINATION .)
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/web/ DESTINATION web)
  install(FILES ${_goi}/HUONG_DAN.txt DESTINATION .)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x86_64)
else()
  # Files made from the sources at configure time (the release preset builds
  # only the programs, so a build-time target would not run before packaging);
  # editing a source re-runs the configure step.
  set(_deb ${CMAKE_CURRENT_BINARY_DIR}/goi-deb)
  file(MAKE_DIRECTORY ${_deb})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE ${_goi}/changelog ${_goi}/tavelin3d.6 ${_goi}/tavelin-uci.6)
  find_program(TAVELIN_GZIP gzip REQUIRED)
  # gzip -9n: no name or time stamp inside, so the same sources give the same bytes.
  function(tavelin_nen nguon dich)
    execute_process(COMMAND ${TAVELIN_GZIP} -9n -c ${nguon} OUTPUT_FILE ${dich} RESULT_VARIABLE ket)
    if(NOT ket EQUAL 0)
      message(FATAL_ERROR "gzip ${nguon}: ${ket}")
    endif()
  endfunction()

  # The copyright file in Debian's machine-readable format, from LICENSE: its
  # copyright line and, as the licence text, everything from the grant on.
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE _giay_phep)
  if(NOT _giay_phep MATCHES "Copyright \\(c\\) ([^\n]+)")
    message(FATAL_ERROR "LICENSE has no copyright line")
  endif()
  set(_ban_quyen "${CMAKE_MATCH_1}")
  string(FIND "${_giay_phep}" "Permission is hereby granted" _dau)
  if(_dau LESS 0)
    message(FATAL_ERROR "LICENSE has no grant of permission")
  endif()
  string(SUBSTRING "${_giay_phep}" ${_dau} -1 _dieu_khoan)
  string(STRIP "${_dieu_khoan}" _dieu_khoan)
  string(REPLACE "\n\n" "\n.\n" _dieu_khoan "${_dieu_khoan}")
  string(REPLACE "\n" "\n " _dieu_khoan "${_dieu_khoan}")
  file(WRITE ${_deb}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: ${PROJECT_NAME}\n"
    "Upstream-Contact: ${TAVELIN_NGUOI_GIU}\n"
    "\n"
    "Files: *\n"
    "Copyright: ${_ban_quyen}\n"
    "License: Expat\n"
    " ${_dieu_khoan}\n")

  # The changelog's newest entry must be this version: a version bump without
  # an entry stops here rather than in lintian.
  file(STRINGS ${_goi}/changelog _dong_dau LIMIT_COUNT 1)
  if(NOT _dong_dau MATCHES "^${PROJECT_NAME} \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog: the newest entry is not ${PROJECT_VERSION}: ${_dong_dau}")
  endif()
  # A native package (the version has no Debian revision): its changelog is
  # changelog.gz, not changelog.Debian.gz.
  tavelin_nen(${_goi}/changelog ${_deb}/changelog.gz)
  tavelin_nen(${_goi}/tavelin3d.6 ${_deb}/tavelin3d.6.gz)
  tavelin_nen(${_goi}/tavelin-uci.6 ${_deb}/tavelin-uci.6.gz)

  # Resolve every symbol at start, so the relocations can be read-only for
  # the whole run (as Debian's hardened builds do).
  include(CheckLinkerFlag)
  check_linker_flag(CXX "LINKER:-z,relro,-z,now" TAVELIN_LIEN_KET_NOW)
  if(TAVELIN_LIEN_KET_NOW)
    target_link_options(tavelin3d PRIVATE "LINKER:-z,relro,-z,now")
    target_link_options(tavelin-uci PRIVATE "LINKER:-z,relro,-z,now")
  endif()

  install(TARGETS tavelin3d tavelin-uci RUNTIME DESTINATION lib/tavelin3d)
  # strip keeps the compilers' .comment and the .note section; the package
  # has no use for them.
  if(CMAKE_OBJCOPY)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        foreach(_ct tavelin3d tavelin-uci)
          execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/tavelin3d/\${_ct}\" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
      endif()")
  endif()
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/web/ DESTINATION lib/tavelin3d/web)
  # Debian puts games in /usr/games. The program resolves its own path through
  # the link (/proc/self/exe), so it still finds web/ beside itself.
  foreach(_ct tavelin3d tavelin-uci)
    file(CREATE_LINK ../lib/tavelin3d/${_ct} ${_deb}/${_ct}-link SYMBOLIC)
    install(FILES ${_deb}/${_ct}-link DESTINATION games RENAME ${_ct})
  endforeach()
  install(FILES ${_deb}/tavelin3d.6.gz ${_deb}/tavelin-uci.6.gz DESTINATION share/man/man6)
  install(FILES ${_deb}/copyright ${_deb}/changelog.gz DESTINATION share/doc/tavelin3d)
  install(FILES ${_goi}/tavelin3d.desktop DESTINATION share/applications)
  install(FILES ${_goi}/tavelin3d.svg DESTINATION share/icons/hicolor/scalable/apps)
  install(FILES ${_goi}/lintian-overrides DESTINATION share/lintian/overrides RENAME tavelin3d)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVELIN_NGUOI_GIU}")
  # xdg-open starts the browser; without it the program prints the address.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
  set(CPACK_PACKAGE_DESCRIPTION_FILE ${_goi}/description.txt)
  find_program(TAVELIN_SHLIBDEPS dpkg-shlibdeps)
  if(TAVELIN_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "tavelin3d")
set(CPACK_PACKAGE_CONTACT "${TAVELIN_NGUOI_GIU}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Xiangqi (Chinese chess) in the web browser, against the computer or a friend")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/dist)
include(CPack)
