# What a player installs: the program and its web folder, laid out so that the
# program finds web/ beside itself. Windows: a zip to unzip anywhere; Linux: a
# .deb with the program in /usr/lib/tavelin3d, a link in /usr/bin and a menu
# entry. The version is the project's, so every package name has one source.
set(_goi ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

if(WIN32)
  install(TARGETS tavelin3d tavelin-uci RUNTIME DESTINATION .)
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/web/ DESTINATION web)
  install(FILES ${_goi}/HUONG_DAN.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x86_64)
else()
  install(TARGETS tavelin3d tavelin-uci RUNTIME DESTINATION lib/tavelin3d)
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/web/ DESTINATION lib/tavelin3d/web)
  # The program resolves its own path through the link, so web/ is found.
  file(CREATE_LINK ../lib/tavelin3d/tavelin3d ${CMAKE_CURRENT_BINARY_DIR}/tavelin3d-link SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tavelin3d-link DESTINATION bin RENAME tavelin3d)
  file(CREATE_LINK ../lib/tavelin3d/tavelin-uci ${CMAKE_CURRENT_BINARY_DIR}/tavelin-uci-link SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tavelin-uci-link DESTINATION bin RENAME tavelin-uci)
  install(FILES ${_goi}/tavelin3d.desktop DESTINATION share/applications)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "tavelin3d")
  find_program(TAVELIN_SHLIBDEPS dpkg-shlibdeps)
  if(TAVELIN_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "tavelin3d")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cờ tướng chơi trong trình duyệt, trên một máy")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/dist)
include(CPack)
