# Puts a theme's images where the program loads them by name: a source "img_browse.png.svg"
# is copied to <build>/Skin/<theme>/ under its own name (the program draws it at whatever
# size and pixel ratio it is shown) and rendered beside it as the raster "img_browse.png".
function(tunevane_render_skin theme)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/skin/${theme}/*.svg")
  set(outdir "${CMAKE_BINARY_DIR}/Skin/${theme}")
  set(outputs "")
  foreach(src IN LISTS sources)
    get_filename_component(name "${src}" NAME)
    string(REGEX REPLACE "\\.svg$" "" target_name "${name}")
    set(out "${outdir}/${target_name}")
    add_custom_command(
      OUTPUT "${out}" "${outdir}/${name}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${outdir}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${src}" "${outdir}/${name}"
      COMMAND tunevane-skin-render "${src}" "${out}"
      DEPENDS "${src}" tunevane-skin-render
      COMMENT "Rendering ${theme}/${target_name}"
      VERBATIM)
    list(APPEND outputs "${out}" "${outdir}/${name}")
  endforeach()
  add_custom_target(skin_${theme} ALL DEPENDS ${outputs})
endfunction()

# The colour schemes of the window skin sit in <build>/Skin/ beside the theme folders.
function(tunevane_copy_schemes)
  file(GLOB schemes CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/skin/*.ini")
  set(outputs "")
  foreach(src IN LISTS schemes)
    get_filename_component(name "${src}" NAME)
    set(out "${CMAKE_BINARY_DIR}/Skin/${name}")
    add_custom_command(
      OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${src}" "${out}"
      DEPENDS "${src}"
      VERBATIM)
    list(APPEND outputs "${out}")
  endforeach()
  add_custom_target(skin_schemes ALL DEPENDS ${outputs})
endfunction()
