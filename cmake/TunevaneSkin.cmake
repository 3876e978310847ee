# Renders the SVG sources of a theme into the image files the program loads by name.
# A source "img_browse.png.svg" becomes "img_browse.png" in <build>/Skin/<theme>/.
function(tunevane_render_skin theme)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/skin/${theme}/*.svg")
  set(outdir "${CMAKE_BINARY_DIR}/Skin/${theme}")
  set(outputs "")
  foreach(src IN LISTS sources)
    get_filename_component(name "${src}" NAME)
    string(REGEX REPLACE "\\.svg$" "" target_name "${name}")
    set(out "${outdir}/${target_name}")
    add_custom_command(
      OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${outdir}"
      COMMAND tunevane-skin-render "${src}" "${out}"
      DEPENDS "${src}" tunevane-skin-render
      COMMENT "Rendering ${theme}/${target_name}"
      VERBATIM)
    list(APPEND outputs "${out}")
  endforeach()
  add_custom_target(skin_${theme} ALL DEPENDS ${outputs})
endfunction()
