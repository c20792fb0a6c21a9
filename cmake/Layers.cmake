# Layer libraries of src/ and the include views that keep each layer from seeing those above it.

set(ORVAN_FIXED_LAYERS base drive link params app widgets frame)
file(GLOB ORVAN_SRC_ENTRIES RELATIVE ${CMAKE_SOURCE_DIR}/src CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/*)
set(ORVAN_SUBSYSTEMS)
foreach(entry ${ORVAN_SRC_ENTRIES})
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${entry} AND NOT entry IN_LIST ORVAN_FIXED_LAYERS)
        list(APPEND ORVAN_SUBSYSTEMS ${entry})
    endif()
endforeach()
list(SORT ORVAN_SUBSYSTEMS)

# A folder of links named after `view` that holds the given layers of src/ and nothing else. A
# layer named `name:noui` is that layer without its windows (its ui/ folder): a window folder
# beside them, not above them, sees only what lies below.
function(orvan_include_view view)
    set(dir ${CMAKE_BINARY_DIR}/layer-views/${view})
    file(REMOVE_RECURSE ${dir})
    file(MAKE_DIRECTORY ${dir})
    foreach(layer ${ARGN})
        if(layer MATCHES "^(.*):noui$")
            set(name ${CMAKE_MATCH_1})
            file(MAKE_DIRECTORY ${dir}/${name})
            file(GLOB entries RELATIVE ${CMAKE_SOURCE_DIR}/src/${name} CONFIGURE_DEPENDS
                 ${CMAKE_SOURCE_DIR}/src/${name}/*)
            list(REMOVE_ITEM entries ui)
            foreach(entry ${entries})
                file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${name}/${entry} ${dir}/${name}/${entry}
                     SYMBOLIC)
            endforeach()
        else()
            file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${layer} ${dir}/${layer} SYMBOLIC)
        endif()
    endforeach()
endfunction()

# orvan_layer(NAME SOURCES_GLOB VIEW layers... DEPENDS targets...)
function(orvan_layer target)
    cmake_parse_arguments(ARG "" "" "SOURCES;VIEW;DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_SOURCES})
    orvan_include_view(${target} ${ARG_VIEW})
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${CMAKE_BINARY_DIR}/layer-views/${target})
        target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
        set_target_properties(${target} PROPERTIES AUTOMOC ON)
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_BINARY_DIR}/layer-views/${target})
        target_link_libraries(${target} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

function(orvan_existing_layers out)
    set(result)
    foreach(layer ${ARGN})
        if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${layer})
            list(APPEND result ${layer})
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# ---- Without windows ----
orvan_layer(orvan_base SOURCES ${CMAKE_SOURCE_DIR}/src/base/*.cpp
            VIEW base DEPENDS Qt6::Core)
orvan_layer(orvan_drive SOURCES ${CMAKE_SOURCE_DIR}/src/drive/*.cpp
            VIEW base drive DEPENDS orvan_base)
orvan_layer(orvan_link SOURCES ${CMAKE_SOURCE_DIR}/src/link/*.cpp
            VIEW base drive link DEPENDS orvan_drive Qt6::SerialPort)
orvan_layer(orvan_params SOURCES ${CMAKE_SOURCE_DIR}/src/params/*.cpp
            VIEW base drive link params:noui DEPENDS orvan_link)
set(ORVAN_SUBSYSTEM_TARGETS)
foreach(subsystem ${ORVAN_SUBSYSTEMS})
    orvan_layer(orvan_${subsystem} SOURCES ${CMAKE_SOURCE_DIR}/src/${subsystem}/*.cpp
                VIEW base drive link params:noui ${subsystem} DEPENDS orvan_params)
    list(APPEND ORVAN_SUBSYSTEM_TARGETS orvan_${subsystem})
endforeach()
# The report draws pages (QPainter, QPdfWriter): QtGui, still no windows.
if(TARGET orvan_print)
    target_link_libraries(orvan_print PUBLIC Qt6::Gui)
endif()
orvan_layer(orvan_app SOURCES ${CMAKE_SOURCE_DIR}/src/app/*.cpp
            VIEW base drive link params:noui ${ORVAN_SUBSYSTEMS} app
            DEPENDS orvan_params ${ORVAN_SUBSYSTEM_TARGETS})

# Everything that runs without a window, for the command-line tool, the simulator and the tests.
add_library(orvan_core INTERFACE)
target_link_libraries(orvan_core INTERFACE orvan_app)

# ---- Windows ----
# Shared controls and the frame every window uses, then each layer's ui/ above its layer and the
# frame; the window folders of params and of the subsystems do not see one another.
orvan_existing_layers(ORVAN_WIDGETS_VIEW widgets)
orvan_layer(orvan_widgets SOURCES ${CMAKE_SOURCE_DIR}/src/widgets/*.cpp
            VIEW base drive ${ORVAN_WIDGETS_VIEW} DEPENDS orvan_drive Qt6::Widgets)
orvan_layer(orvan_link_ui SOURCES ${CMAKE_SOURCE_DIR}/src/link/ui/*.cpp
            VIEW base drive link ${ORVAN_WIDGETS_VIEW} DEPENDS orvan_link orvan_widgets)
# What every window folder shares: the tool-window registry and the contexts the view lends its
# windows, the dialog button, the transfer progress window.
orvan_layer(orvan_frame SOURCES ${CMAKE_SOURCE_DIR}/src/frame/*.cpp
            VIEW base drive link params:noui frame ${ORVAN_WIDGETS_VIEW}
            DEPENDS orvan_params orvan_widgets)
orvan_layer(orvan_params_ui SOURCES ${CMAKE_SOURCE_DIR}/src/params/ui/*.cpp
            VIEW base drive link params frame ${ORVAN_WIDGETS_VIEW}
            DEPENDS orvan_params orvan_link_ui orvan_frame)
# Tool windows register themselves beside their own code (frame/ToolWindows.h), so nothing
# else refers to them: the window libraries are linked whole, everywhere they are named.
set(ORVAN_WINDOW_LIBRARIES "$<LINK_LIBRARY:WHOLE_ARCHIVE,orvan_params_ui>")
foreach(subsystem ${ORVAN_SUBSYSTEMS})
    orvan_layer(orvan_${subsystem}_ui SOURCES ${CMAKE_SOURCE_DIR}/src/${subsystem}/ui/*.cpp
                VIEW base drive link params:noui frame ${subsystem} ${ORVAN_WIDGETS_VIEW}
                DEPENDS orvan_${subsystem} orvan_frame)
    list(APPEND ORVAN_WINDOW_LIBRARIES "$<LINK_LIBRARY:WHOLE_ARCHIVE,orvan_${subsystem}_ui>")
endforeach()
if(TARGET orvan_print_ui)
    target_link_libraries(orvan_print_ui PUBLIC Qt6::PrintSupport)
endif()
file(GLOB ORVAN_APP_UI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/ui/*.cpp)
list(REMOVE_ITEM ORVAN_APP_UI_SOURCES ${CMAKE_SOURCE_DIR}/src/app/ui/main.cpp)
# The shell sees every folder: it is the top.
add_library(orvan_gui STATIC ${ORVAN_APP_UI_SOURCES})
target_include_directories(orvan_gui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(orvan_gui PUBLIC orvan_core ${ORVAN_WINDOW_LIBRARIES} orvan_sim Qt6::Widgets
                      Qt6::PrintSupport)
set_target_properties(orvan_gui PROPERTIES AUTOMOC ON AUTORCC ON)

# Precompiled headers (cmake/FastBuild.cmake): the layers without windows share the base layer's,
# the window libraries the shared controls'.
orvan_precompile(orvan_base HEADERS ${ORVAN_PCH_CORE})
orvan_share_precompiled(orvan_base orvan_drive orvan_link orvan_params ${ORVAN_SUBSYSTEM_TARGETS}
                        orvan_app)
set(ORVAN_WINDOW_TARGETS ${ORVAN_SUBSYSTEMS})
list(TRANSFORM ORVAN_WINDOW_TARGETS PREPEND orvan_)
list(TRANSFORM ORVAN_WINDOW_TARGETS APPEND _ui)
orvan_precompile(orvan_widgets HEADERS ${ORVAN_PCH_WIDGETS})
orvan_share_precompiled(orvan_widgets orvan_link_ui orvan_frame orvan_params_ui
                        ${ORVAN_WINDOW_TARGETS} orvan_gui)
