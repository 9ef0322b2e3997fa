# The resources compiled into varen-diagnostics:
#   qrc:/html/...  the pages (gui/html) and Font Awesome's style sheet and fonts, copied at build
#                  time from the system's fonts-font-awesome package into the build tree;
#   :/icons/...    the window icon and the pictures of the built-in module kinds, drawn from our
#                  SVG sources (app/icons) by varen-svgrasteriser at build time.
# The pages load Qt's web-channel client from Qt's own resource, qrc:///qtwebchannel/qwebchannel.js,
# so it always speaks the protocol of the QtWebChannel the program runs with.
# Both .qrc files are generated into the build tree; the page list follows gui/html at every
# build (CONFIGURE_DEPENDS).
# Sets VAREN_RESOURCE_SOURCES: the generated C++ sources to compile into the executable.

set(font_awesome_dir /usr/share/fonts-font-awesome)
if(NOT EXISTS ${font_awesome_dir}/css/font-awesome.min.css)
  message(FATAL_ERROR "Font Awesome 4 is missing: install the Debian package fonts-font-awesome")
endif()

set(pages_dir ${PROJECT_SOURCE_DIR}/gui/html)
set(generated_dir ${CMAKE_CURRENT_BINARY_DIR}/resources)

# varen_qrc_entry(<out var> <alias> <file>): one <file> line of a .qrc
function(varen_qrc_entry out alias file)
  set(${out} "${${out}}    <file alias=\"${alias}\">${file}</file>\n" PARENT_SCOPE)
endfunction()

# varen_write_qrc(<path> <prefix> <entries>): writes the .qrc only when it changes, so an
# unchanged page list does not recompile the resources.
function(varen_write_qrc path prefix entries)
  set(text "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"${prefix}\">\n")
  string(APPEND text "${entries}  </qresource>\n</RCC>\n")
  file(CONFIGURE OUTPUT ${path} CONTENT "${text}" @ONLY)
endfunction()

# varen_rcc(<name> <qrc> <depends...>): compiles a .qrc into qrc_<name>.cpp
function(varen_rcc name qrc)
  set(output ${generated_dir}/qrc_${name}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND Qt5::rcc --name ${name} --output ${output} ${qrc}
    DEPENDS ${qrc} ${ARGN}
    COMMENT "Compiling the ${name} resources")
  set(VAREN_RESOURCE_SOURCES ${VAREN_RESOURCE_SOURCES} ${output} PARENT_SCOPE)
endfunction()

# Pages -------------------------------------------------------------------------------------------
file(GLOB_RECURSE page_files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${pages_dir}/*)
list(FILTER page_files EXCLUDE REGEX "/README\\.md$")
set(page_entries "")
foreach(file IN LISTS page_files)
  file(RELATIVE_PATH alias ${pages_dir} ${file})
  varen_qrc_entry(page_entries ${alias} ${file})
endforeach()

set(font_awesome_files
  css/font-awesome.css
  css/font-awesome.min.css
  fonts/fontawesome-webfont.eot
  fonts/fontawesome-webfont.svg
  fonts/fontawesome-webfont.ttf
  fonts/fontawesome-webfont.woff
  fonts/fontawesome-webfont.woff2)
set(font_awesome_copies "")
foreach(file IN LISTS font_awesome_files)
  set(copy ${generated_dir}/font-awesome/${file})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy ${font_awesome_dir}/${file} ${copy}
    DEPENDS ${font_awesome_dir}/${file}
    COMMENT "Copying Font Awesome ${file}")
  list(APPEND font_awesome_copies ${copy})
  varen_qrc_entry(page_entries ${file} ${copy})
endforeach()

varen_write_qrc(${generated_dir}/html.qrc /html "${page_entries}")
varen_rcc(html ${generated_dir}/html.qrc ${page_files} ${font_awesome_copies})

# Icons -------------------------------------------------------------------------------------------
add_executable(varen-svgrasteriser svgrasteriser.cpp)
target_link_libraries(varen-svgrasteriser PRIVATE Qt5::Svg Qt5::Gui)

# varen_icon(<name in the resources> <SVG source> <size in pixels> <image format>)
set(icon_entries "")
set(icon_images "")
function(varen_icon name source size format)
  set(image ${generated_dir}/icons/${name})
  # The helper is built like everything else, sanitizers included; Qt's plugin loader keeps
  # memory to the end on purpose, which the leak checker must not turn into a failed build.
  add_custom_command(OUTPUT ${image}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated_dir}/icons
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:varen-svgrasteriser> ${CMAKE_CURRENT_SOURCE_DIR}/icons/${source}
            ${image} ${size} ${format}
    DEPENDS varen-svgrasteriser ${CMAKE_CURRENT_SOURCE_DIR}/icons/${source}
    COMMENT "Drawing icon ${name}")
  set(icon_images ${icon_images} ${image} PARENT_SCOPE)
  varen_qrc_entry(icon_entries ${name} ${image})
  set(icon_entries "${icon_entries}" PARENT_SCOPE)
endfunction()

varen_icon(K57-QMR.png k57-qmr.svg 140 png)
varen_icon(K68-TLC.png k68-tlc.svg 140 png)
varen_icon(VarenLogoK57.png.ico varen-logo.svg 64 ico)

varen_write_qrc(${generated_dir}/icons.qrc /icons "${icon_entries}")
varen_rcc(icons ${generated_dir}/icons.qrc ${icon_images})
