# The fifteen payloads: stand-in programs built here from small sources, the
# text and data files under payloads/, each packed into its container by the
# host tool, and a resource script that embeds the containers.

set(standin_flags -Os -Wall -Wextra -Werror)
set(standin_link -static -s -municode -Wl,--no-insert-timestamp)

function(zarvo_standin_program target output role)
    add_executable(${target} WIN32 payloads/standin/StandIn.c)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin)
    target_compile_definitions(${target} PRIVATE UNICODE STANDIN_ROLE=${role})
    target_compile_options(${target} PRIVATE ${standin_flags})
    target_link_options(${target} PRIVATE ${standin_link})
endfunction()

function(zarvo_standin_library target output)
    add_library(${target} SHARED payloads/standin/StandInLibrary.c)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output} PREFIX "" RUNTIME_OUTPUT_DIRECTORY
                                               ${CMAKE_BINARY_DIR}/standin)
    target_compile_options(${target} PRIVATE ${standin_flags})
    target_link_options(${target} PRIVATE -static -s -Wl,--no-insert-timestamp)
endfunction()

zarvo_standin_program(standin_browser Zarvo 0)
zarvo_standin_program(standin_service ZarvService 1)
zarvo_standin_program(standin_bugreport BugReport 2)
zarvo_standin_program(standin_update ZarvUpdate 3)
zarvo_standin_program(standin_uninstall Uninstall 4)
zarvo_standin_library(standin_library ZarvLibrary)
zarvo_standin_library(standin_resources ZarvResources)
zarvo_standin_library(standin_zip ZarvZip)

# Catalogue order: payload name, then the plain file it is made from.
set(payload_sources
    whatsnewtxt "${PROJECT_SOURCE_DIR}/payloads/whatsnew.txt"
    ZarvConfigini "${PROJECT_SOURCE_DIR}/payloads/ZarvConfig.ini"
    Zarvoexe "$<TARGET_FILE:standin_browser>"
    ZarvServiceexe "$<TARGET_FILE:standin_service>"
    BugReportexe "$<TARGET_FILE:standin_bugreport>"
    Lisensetxt "${PROJECT_SOURCE_DIR}/payloads/Lisense.txt"
    ZarvLibrarydll "$<TARGET_FILE:standin_library>"
    ZarvResourcesdll "$<TARGET_FILE:standin_resources>"
    ZarvZipdll "$<TARGET_FILE:standin_zip>"
    ZarvUpdateexe "$<TARGET_FILE:standin_update>"
    Uninstallexe "$<TARGET_FILE:standin_uninstall>"
    defaultzsk "${PROJECT_SOURCE_DIR}/payloads/default.zsk"
    x0804ini "${PROJECT_SOURCE_DIR}/payloads/x0804.ini"
    x0404ini "${PROJECT_SOURCE_DIR}/payloads/x0404.ini"
    x0409ini "${PROJECT_SOURCE_DIR}/payloads/x0409.ini")

list(LENGTH payload_sources count)
math(EXPR last "${count} - 1")

# The installation benchmark builds with a payload set of the product's full
# sizes instead, written by payload_bench --plain-files under the installed
# file names.
if(ZARVO_BENCH_PAYLOAD_DIR)
    set(bench_sources)
    foreach(i RANGE 0 ${last} 2)
        list(GET payload_sources ${i} name)
        string(LENGTH ${name} length)
        math(EXPR stem "${length} - 3")
        string(SUBSTRING ${name} 0 ${stem} base)
        string(SUBSTRING ${name} ${stem} 3 extension)
        list(APPEND bench_sources ${name} "${ZARVO_BENCH_PAYLOAD_DIR}/${base}.${extension}")
    endforeach()
    set(payload_sources ${bench_sources})
endif()

set(payload_dir ${CMAKE_BINARY_DIR}/payloads)
file(MAKE_DIRECTORY ${payload_dir})
set(payload_rc "// Generated: the payload containers, language Chinese (PRC).\nLANGUAGE 4, 2\n")
set(ZARVO_PAYLOAD_CONTAINERS)
foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET payload_sources ${i} name)
    list(GET payload_sources ${j} plain)
    if(NOT plain MATCHES "^\\$<" AND NOT EXISTS "${plain}")
        message(FATAL_ERROR "Payload ${name}: the plain file ${plain} is missing.")
    endif()
    set(container ${payload_dir}/${name}.container)
    add_custom_command(OUTPUT ${container}
        COMMAND "${pack}" "${plain}" "${container}"
        DEPENDS "${plain}" "${pack}"
        COMMENT "Packing payload ${name}"
        VERBATIM)
    list(APPEND ZARVO_PAYLOAD_CONTAINERS ${container})
    string(TOUPPER ${name} upper)
    string(APPEND payload_rc "${upper} MY${upper} \"${container}\"\n")
endforeach()
file(WRITE ${payload_dir}/Payloads.rc.in "${payload_rc}")
configure_file(${payload_dir}/Payloads.rc.in ${payload_dir}/Payloads.rc COPYONLY)
add_custom_target(payload_containers DEPENDS ${ZARVO_PAYLOAD_CONTAINERS})

set(ZARVO_PAYLOAD_RESOURCES ${payload_dir}/Payloads.rc)
set_source_files_properties(${ZARVO_PAYLOAD_RESOURCES} PROPERTIES OBJECT_DEPENDS "${ZARVO_PAYLOAD_CONTAINERS}")
