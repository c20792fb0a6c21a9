# What makes a clean build quick on a small machine: most of a translation unit's time goes to
# the Qt, standard library and GoogleTest headers, so each target compiles its sources in batches
# (a unity build) and the common headers are parsed once, into a precompiled header that the
# targets of one kind share.

# Batches of 8 keep a one-file change quick to rebuild; ORVAN_UNITY_BUILD=OFF compiles file by
# file.
option(ORVAN_UNITY_BUILD "Compile each target's sources in batches" ON)
set(CMAKE_UNITY_BUILD ${ORVAN_UNITY_BUILD})
set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)

# GCC falls back to the headers themselves (and warns) when a shared precompiled header does not
# fit a target; clang refuses it outright, so the clang builds (fuzz) parse the headers each time.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    option(ORVAN_PRECOMPILED_HEADERS "Share precompiled Qt and standard headers" ON)
else()
    set(ORVAN_PRECOMPILED_HEADERS OFF)
endif()

set(ORVAN_PCH_CORE <algorithm> <array> <cstdint> <functional> <memory> <optional> <vector>
    <QByteArray> <QDir> <QFile> <QObject> <QString> <QStringList>)
set(ORVAN_PCH_WIDGETS ${ORVAN_PCH_CORE} <QComboBox> <QDialog> <QGridLayout> <QHBoxLayout>
    <QLabel> <QLineEdit> <QPainter> <QPushButton> <QVBoxLayout> <QWidget>)
set(ORVAN_PCH_TESTS ${ORVAN_PCH_CORE} <QTemporaryDir> <gtest/gtest.h>)

# orvan_precompile(target HEADERS list) gives `target` a precompiled header of its own;
# orvan_precompile(target FROM other) shares `other`'s.
function(orvan_precompile target)
    if(NOT ORVAN_PRECOMPILED_HEADERS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "FROM" "HEADERS" ${ARGN})
    if(ARG_FROM)
        target_precompile_headers(${target} REUSE_FROM ${ARG_FROM})
    else()
        target_precompile_headers(${target} PRIVATE ${ARG_HEADERS})
    endif()
endfunction()

# orvan_share_precompiled(host targets...): the targets that compile anything use `host`'s
# precompiled header; header-only layers (interfaces) have nothing to compile.
function(orvan_share_precompiled host)
    foreach(target ${ARGN})
        get_target_property(type ${target} TYPE)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            orvan_precompile(${target} FROM ${host})
        endif()
    endforeach()
endfunction()

# In a batch every source is an included file, and GCC then takes a test fixture in an anonymous
# namespace for one declared in a header.
if(ORVAN_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-subobject-linkage)
endif()
