# Tunevane as an installed desktop application: the menu entry with the file types it opens,
# the icons in the desktop's icon theme, the AppStream description, and a Debian package whose
# dependencies come from the libraries the programs link.
include(GNUInstallDirs)

set(TUNEVANE_APP_ID org.tunevane.Tunevane)
set(TUNEVANE_ICON_SOURCE "${CMAKE_SOURCE_DIR}/data/skin/Light/img_product_box.png.svg")
set(TUNEVANE_ICON_SIZES 16 22 24 32 48 64 128 256)

set(icon_outputs "")
foreach(size IN LISTS TUNEVANE_ICON_SIZES)
  set(out "${CMAKE_BINARY_DIR}/icons/${size}x${size}/${TUNEVANE_APP_ID}.png")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/icons/${size}x${size}"
    COMMAND tunevane-skin-render "${TUNEVANE_ICON_SOURCE}" "${out}" ${size}
    DEPENDS "${TUNEVANE_ICON_SOURCE}" tunevane-skin-render
    COMMENT "Rendering the ${size} px application icon"
    VERBATIM)
  list(APPEND icon_outputs "${out}")
  install(FILES "${out}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
add_custom_target(app_icons ALL DEPENDS ${icon_outputs})

install(FILES "${TUNEVANE_ICON_SOURCE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME "${TUNEVANE_APP_ID}.svg")
install(FILES "${CMAKE_SOURCE_DIR}/data/desktop/${TUNEVANE_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_SOURCE_DIR}/data/desktop/${TUNEVANE_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

set(CPACK_PACKAGE_NAME tunevane)
set(CPACK_PACKAGE_VENDOR "Tunevane Project")
set(CPACK_PACKAGE_CONTACT "Tunevane Project <contact@tunevane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts audio files, and the sound of videos, into other audio formats")
set(CPACK_PACKAGE_DESCRIPTION "Tunevane converts a whole list of audio files, and the sound of video \
files, into MP3, AAC, OGG, Opus, FLAC, WAV and many more formats, with presets, tags and covers, \
merging and renaming. tunevane-cli does the same from scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tunevane.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not say: the ffmpeg program joins outputs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
set(CPACK_GENERATOR DEB)
include(CPack)
