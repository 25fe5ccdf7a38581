# The fifteen payloads, each packed into its container by the host tool, and a
# resource script that embeds the containers. They are made from the product's
# own files when the build is given a folder that holds them laid out as they
# are installed (tools/build.sh --payloads DIR); otherwise from stand-ins:
# programs built here from small sources, and the text and data files under
# payloads/.

set(ZARVO_PAYLOAD_DIR "" CACHE PATH "Folder of the product's fifteen files laid out as installed; empty: the stand-ins")

# The product's files in installation order, as the product's own table gives
# them (pack --catalogue): payload name and where the file lies in the
# installed tree.
execute_process(COMMAND "${pack}" --catalogue OUTPUT_VARIABLE listed RESULT_VARIABLE listing)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/system/Product.h)
if(NOT listing EQUAL 0)
    message(FATAL_ERROR "The container tool ${pack} cannot list the product's files: build the host tree first (tools/build.sh).")
endif()
string(REPLACE "\n" ";" listed "${listed}")
# The stand-in each program and library is made from when no folder is given;
# every other file comes from payloads/, under its payload's file name.
set(standin_Zarvoexe standin_browser)
set(standin_ZarvServiceexe standin_service)
set(standin_BugReportexe standin_bugreport)
set(standin_ZarvUpdateexe standin_update)
set(standin_Uninstallexe standin_uninstall)
set(standin_ZarvLibrarydll standin_library)
set(standin_ZarvResourcesdll standin_resources)
set(standin_ZarvZipdll standin_zip)
set(catalogue)
foreach(line IN LISTS listed)
    if(line STREQUAL "")
        continue()
    endif()
    string(REPLACE " " ";" line "${line}")
    list(GET line 0 name)
    list(GET line 1 installed)
    if(DEFINED standin_${name})
        set(plain "$<TARGET_FILE:${standin_${name}}>")
    else()
        string(REGEX REPLACE "(...)$" ".\\1" file "${name}")
        set(plain "${PROJECT_SOURCE_DIR}/payloads/${file}")
    endif()
    list(APPEND catalogue ${name} ${installed} "${plain}")
endforeach()
list(LENGTH catalogue count)
math(EXPR last "${count} - 1")

set(left_out)
if(ZARVO_PAYLOAD_DIR)
    # Whatever else the folder holds is named below and left out.
    file(GLOB_RECURSE left_out RELATIVE "${ZARVO_PAYLOAD_DIR}" "${ZARVO_PAYLOAD_DIR}/*")
else()
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
endif()

set(payload_dir ${CMAKE_BINARY_DIR}/payloads)
file(MAKE_DIRECTORY ${payload_dir})
set(payload_rc "// Generated: the payload containers, language Chinese (PRC).\nLANGUAGE 4, 2\n")
set(ZARVO_PAYLOAD_CONTAINERS)
foreach(i RANGE 0 ${last} 3)
    math(EXPR j "${i} + 1")
    math(EXPR k "${i} + 2")
    list(GET catalogue ${i} name)
    list(GET catalogue ${j} installed)
    list(GET catalogue ${k} plain)
    if(ZARVO_PAYLOAD_DIR)
        set(plain "${ZARVO_PAYLOAD_DIR}/${installed}")
        if(NOT EXISTS "${plain}" OR IS_DIRECTORY "${plain}")
            message(FATAL_ERROR "The payload folder ${ZARVO_PAYLOAD_DIR} lacks ${installed}.")
        endif()
        # A container's size field is a signed 32-bit count.
        file(SIZE "${plain}" size)
        if(size GREATER 2147483647)
            message(FATAL_ERROR "${installed} in the payload folder has ${size} bytes, more than the 2147483647 that a payload container holds.")
        endif()
        list(REMOVE_ITEM left_out "${installed}")
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
foreach(extra IN LISTS left_out)
    message(NOTICE "Left out of the installer: ${extra} in the payload folder is not one of the product's files.")
endforeach()
# The containers' checksums, which the installer checks at its start.
set(checksums ${payload_dir}/Checksums.bin)
add_custom_command(OUTPUT ${checksums}
    COMMAND "${pack}" --checksums "${checksums}" ${ZARVO_PAYLOAD_CONTAINERS}
    DEPENDS ${ZARVO_PAYLOAD_CONTAINERS} "${pack}"
    COMMENT "Recording the payload containers' checksums"
    VERBATIM)
string(APPEND payload_rc "CHECKSUMS RCDATA \"${checksums}\"\n")
file(WRITE ${payload_dir}/Payloads.rc.in "${payload_rc}")
configure_file(${payload_dir}/Payloads.rc.in ${payload_dir}/Payloads.rc COPYONLY)
add_custom_target(payload_containers DEPENDS ${ZARVO_PAYLOAD_CONTAINERS} ${checksums})

set(ZARVO_PAYLOAD_RESOURCES ${payload_dir}/Payloads.rc)
set_source_files_properties(${ZARVO_PAYLOAD_RESOURCES} PROPERTIES OBJECT_DEPENDS "${ZARVO_PAYLOAD_CONTAINERS};${checksums}")
