# Runs the core's include check on one folder, as the configuration does:
#   cmake -DSUBSYSTEM=formats -DFOLDER=<dir> -DALLOWED="formats;platform" -P CheckIncludes.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/CoreLayers.cmake)
mvr_check_core_includes(${SUBSYSTEM} "${FOLDER}" ${ALLOWED})
