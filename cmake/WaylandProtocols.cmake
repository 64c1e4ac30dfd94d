# Client code for Wayland protocols, made by wayland-scanner from their XML
# descriptions as Debian ships them.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)

# wlroots' own protocols come with the package of the Rust crate that binds
# them (librust-wayland-protocols-dev), the one Debian package that has them.
file(GLOB WLR_PROTOCOLS_DIRS
     /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable)
list(SORT WLR_PROTOCOLS_DIRS COMPARE NATURAL ORDER DESCENDING)
list(GET WLR_PROTOCOLS_DIRS 0 WLR_PROTOCOLS_DIR)
if(NOT EXISTS "${WLR_PROTOCOLS_DIR}")
    message(FATAL_ERROR "wlroots protocol descriptions not found: install librust-wayland-protocols-dev")
endif()

# glimber_wayland_protocols(TARGET XML...): adds the client header and code of
# each protocol to TARGET, which then includes "<name>-client-protocol.h".
function(glimber_wayland_protocols target)
    set(outputDir ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
    file(MAKE_DIRECTORY ${outputDir})
    foreach(xml ${ARGN})
        get_filename_component(name ${xml} NAME_WE)
        set(header ${outputDir}/${name}-client-protocol.h)
        set(code ${outputDir}/${name}-protocol.c)
        add_custom_command(OUTPUT ${header}
            COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
            DEPENDS ${xml} VERBATIM)
        add_custom_command(OUTPUT ${code}
            COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
            DEPENDS ${xml} VERBATIM)
        target_sources(${target} PRIVATE ${header} ${code})
    endforeach()
    target_include_directories(${target} PRIVATE ${outputDir})
    target_link_libraries(${target} PRIVATE PkgConfig::WAYLAND_CLIENT)
endfunction()
