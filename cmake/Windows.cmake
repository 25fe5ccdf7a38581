# The installer and its Windows tests, cross-built with mingw-w64 and linked
# statically: the executable needs no DLL beside itself but Windows' own.

enable_language(RC)

# mingw's static zlib: the DLL import library would make the installer need a
# zlib DLL beside it.
find_library(ZARVO_ZLIB libz.a REQUIRED)
target_link_libraries(zarvo_payload PUBLIC ${ZARVO_ZLIB})

# Unwind tables only where an exception may pass: nothing walks the stack at
# every instruction here (a debugger, a signal), and each table is download;
# nor does one pass through a function of Windows (SystemCallsNothrow.h).
# Constructors and destructors are compiled whole where they are used: at -Os
# GCC otherwise moves each one's body into a function private to every unit
# that uses it, and the link-time optimiser keeps those copies apart (some
# 5.5 KB of them). Compiled for the least size (-Oz): the installation's time
# goes to inflating, which zlib's own code does, and to Windows' file calls.
# Switches test their cases in turn rather than through a table of addresses,
# each of which would also need a relocation. Data is aligned as its type asks
# (-malign-data=abi): GCC otherwise puts every array of 32 bytes or more, each
# text of a table among them, on a 32-byte boundary, for vector code that the
# installer does not have.
set(ZARVO_SIZE_FLAGS -Oz -fno-jump-tables -fno-declone-ctor-dtor -fno-asynchronous-unwind-tables -ffunction-sections
    -fdata-sections -malign-data=abi
    "SHELL:-include ${CMAKE_CURRENT_SOURCE_DIR}/cmake/LocalStringMembers.h"
    "SHELL:-include ${CMAKE_CURRENT_SOURCE_DIR}/cmake/SystemCallsNothrow.h")
# The installer asks no object its type: without the type information of its
# classes (what it throws keeps its own), each class weighs less. The test
# tree keeps it for GoogleTest.
# Nor does it keep its stack aligned to 16 bytes for its callees: Windows
# promises 4, calls every window procedure and callback with that, and no
# code here needs more (pentiumpro, x87: no SSE), so the padding was waste.
if(ZARVO_MINGW_THREADS STREQUAL "win32")
    list(APPEND ZARVO_SIZE_FLAGS -fno-rtti -mpreferred-stack-boundary=2)
endif()
# Marked terminal-server aware, so that a terminal server runs it without the
# compatibility shims of older programs, and as registering no SEH handler:
# this toolchain unwinds with DWARF tables, and nothing linked in sets a frame
# handler through fs:[0] (the test of the marks checks the code for one).
set(ZARVO_LINK_FLAGS -static -municode -Wl,--gc-sections -Wl,--no-insert-timestamp -Wl,--tsaware -Wl,--no-seh)
# The linker's own script, but with the start-up code's tables, the thread
# data template and the imports' tables in .data instead of in sections of
# their own: all are writable data (the loader writes the imports' addresses),
# and each section takes at least a 512-byte block of the file for its few
# bytes. The loader finds them through the header's directories and their
# symbols, never by a section's name; the template opens .data, as it opened
# its own section, so that offsets into it keep their meaning.
execute_process(COMMAND "${CMAKE_LINKER}" --verbose OUTPUT_VARIABLE script RESULT_VARIABLE listing)
string(REGEX MATCH "\n=+\n(.*)\n=+\n" script "${script}")
set(script "${CMAKE_MATCH_1}")
foreach(section CRT tls idata)
    string(REGEX MATCH "\n  \\.${section} BLOCK\\(__section_alignment__\\) :\n  {\n([^}]*)  }" block "${script}")
    if(NOT listing EQUAL 0 OR NOT block)
        message(FATAL_ERROR "The linker's script has no section .${section} to fold into .data.")
    endif()
    set(${section} "${CMAKE_MATCH_1}")
    string(REPLACE "${block}" "" script "${script}")
endforeach()
# The bounds of the threads' dynamic initialisers, which the linker placed
# after the tables by their name, go with them.
string(APPEND CRT "    KEEP (*(SORT(.CRT$XD*)))\n")
# The linker takes the imports' directories from the symbols of their parts
# where it finds them, else from a section named .idata: marked here.
foreach(part 2 4 5 6)
    string(REPLACE "    KEEP (SORT(*)(.idata$${part}))" "    \".idata$${part}\" = ABSOLUTE(. - __image_base__) ;\n    KEEP (SORT(*)(.idata$${part}))"
           idata "${idata}")
endforeach()
string(REGEX REPLACE "(\n  \\.data BLOCK\\(__section_alignment__\\) :\n  {\n)([^}]*)  }" "\\1${tls}\\2${CRT}${idata}  }"
       script "${script}")
if(NOT script MATCHES "___tls_start__.*__data_start__.*___crt_xc_start__.*__IAT_start__")
    message(FATAL_ERROR "The linker's script has no section .data to fold .CRT, .tls and .idata into.")
endif()
# Nor does it keep the unwind tables of code that no exception passes
# through: zlib calls back into nothing of ours (its own allocator, no stream
# callbacks), and the C start-up code (crt2u.o, libmingw32) has no handler
# above it, so an exception that reached it would end the program as it does
# without them. Each table is download.
set(unwound_never "*libz.a:" "*libmingw32.a:" "*crt2u.o")
# Nor those of the run-time library's parts that only the unwinder and the
# handlers' search call, and that call nothing that throws: finding and
# registering tables, thread data, the personality routines and the type
# matching they use, the exceptions' memory and catching, and the exceptions'
# own destructors. An exception passes through the functions that throw
# (operator new, __cxa_throw, the unwinder's entry points, terminate's own
# handler), and those keep theirs.
foreach(member unwind-dw2-fde.o unwind-c.o emutls.o)
    list(APPEND unwound_never "*libgcc_eh.a:${member}")
endforeach()
list(APPEND unwound_never "*libgcc.a:gthr-win32.o")
foreach(member eh_personality.o eh_alloc.o eh_catch.o eh_globals.o class_type_info.o si_class_type_info.o tinfo.o
               eh_exception.o bad_alloc.o bad_array_new.o bad_cast.o bad_typeid.o list.o new_handler.o)
    list(APPEND unwound_never "*libstdc++.a:${member}")
endforeach()
string(FIND "${script}" "KEEP(*(.eh_frame*))" unwind)
string(FIND "${script}" "  /DISCARD/ :\n  {\n" discard)
if(unwind EQUAL -1 OR discard EQUAL -1)
    message(FATAL_ERROR "The linker's script keeps no unwind tables or discards nothing: some cannot be left out.")
endif()
list(JOIN unwound_never " " excluded)
list(TRANSFORM unwound_never APPEND "(.eh_frame*)\n")
list(TRANSFORM unwound_never PREPEND "    ")
list(JOIN unwound_never "" discarded)
string(REPLACE "KEEP(*(.eh_frame*))" "KEEP(*(EXCLUDE_FILE(${excluded}) .eh_frame*))" script "${script}")
string(REPLACE "  /DISCARD/ :\n  {\n" "  /DISCARD/ :\n  {\n${discarded}" script "${script}")
# The unwind tables are read-only data as .rdata is: folded into it, at its
# end before the pseudo-relocations' list, they share its last block. The
# unwinder finds them from the start-up code's symbol, never by a section.
set(eh_frame "\n  \\.eh_frame BLOCK\\(__section_alignment__\\) :\n  {\n    (KEEP\\(\\*\\(EXCLUDE_FILE[^\n]*)\n  }")
string(REGEX MATCH "${eh_frame}" block "${script}")
set(tables "${CMAKE_MATCH_1}")
string(REPLACE "${block}" "" script "${script}")
string(REPLACE "    . = ALIGN(4);\n    __rt_psrelocs_start = .;" "    . = ALIGN(4);\n    ${tables}\n    __rt_psrelocs_start = .;"
       script "${script}")
if(NOT block OR script MATCHES "\n  \\.eh_frame " OR NOT script MATCHES "\\.rdata\\$[^}]*EXCLUDE_FILE[^}]*__rt_psrelocs_start")
    message(FATAL_ERROR "The linker's script has no unwind tables to fold into .rdata.")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/Sections.ld "${script}\n")
list(APPEND ZARVO_LINK_FLAGS "-Wl,-T,${CMAKE_BINARY_DIR}/Sections.ld")
set(ZARVO_SYSTEM_LIBS ole32 oleaut32 uuid shell32 advapi32 gdi32 user32 kernel32 ntdll)

# The installer's code that needs Windows, folder by folder.
target_sources(zarvo_system PRIVATE
    system/DynamicApi.cpp
    system/Elevation.cpp
    system/EmbeddedResource.cpp
    system/FileHolders.cpp
    system/Files.cpp
    system/FolderSecurity.cpp
    system/HeldFolder.cpp
    system/LibrarySearch.cpp
    system/Privilege.cpp
    system/ProgramClosing.cpp
    system/Restart.cpp
    system/Reg.cpp
    system/Registration.cpp
    system/RunLog.cpp
    system/RunningCopies.cpp
    system/ScratchFolder.cpp
    system/SetupLock.cpp
    system/ShellLink.cpp
    system/Shortcut.cpp
    system/SystemError.cpp
    system/UserShell.cpp)
target_sources(zarvo_payload PRIVATE
    payload/DecompressFile.cpp
    payload/InstalledSize.cpp
    payload/Integrity.cpp)
target_sources(zarvo_install PRIVATE
    install/Areas.cpp
    install/DiskSpace.cpp
    install/FilePlaces.cpp
    install/FolderCheck.cpp
    install/Installation.cpp
    install/MachineOperations.cpp
    install/MachineSteps.cpp
    install/RegistryValues.cpp
    install/RunningPrograms.cpp
    install/StartPage.cpp)
target_sources(zarvo_ui PRIVATE
    ui/AccessibleControl.cpp
    ui/Application.cpp
    ui/Picture.cpp
    ui/WizardLayout.cpp
    ui/WizardMessages.cpp
    ui/WizardWindow.cpp)
target_sources(zarvo_app PRIVATE
    app/BrowseFolder.cpp
    app/ClosingPrograms.cpp
    app/FinishActions.cpp
    app/FormRoutines.cpp
    app/InstallMain.cpp
    app/Navigation.cpp
    app/RunInstallation.cpp
    app/TempDir.cpp
    app/Texts.cpp
    app/Unattended.cpp)
foreach(layer ${ZARVO_LAYER_TARGETS})
    target_compile_definitions(${layer} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0500 WINVER=0x0500
        _WIN32_IE=0x0500)
    target_compile_options(${layer} PUBLIC ${ZARVO_SIZE_FLAGS})
endforeach()
target_link_libraries(zarvo_system PUBLIC ${ZARVO_SYSTEM_LIBS})
add_library(zarvo_win INTERFACE)
target_link_libraries(zarvo_win INTERFACE zarvo_core)

# The two pictures of the window for each scale that the installer carries,
# packed like the payloads (JPEG gains little from it, but the pictures are
# read as the payloads are). Shared by the installer and the tests that create
# the window in-process.
set(pack "${ZARVO_HOST_BUILD}/pack")
if(NOT EXISTS "${pack}")
    message(FATAL_ERROR "The container tool ${pack} is missing: build the host tree first (tools/build.sh).")
endif()
set(ui_dir ${CMAKE_BINARY_DIR}/ui)
file(MAKE_DIRECTORY ${ui_dir})
set(ui_rc "// Generated: the window's pictures, packed.\n")
set(ui_containers)
foreach(picture WELCOME100:Welcome100.jpg WELCOME150:Welcome150.jpg WELCOME200:Welcome200.jpg
                BANNER150:Banner150.jpg BANNER200:Banner200.jpg)
    string(REPLACE ":" ";" picture ${picture})
    list(GET picture 0 name)
    list(GET picture 1 file)
    set(container ${ui_dir}/${file}.container)
    add_custom_command(OUTPUT ${container}
        COMMAND "${pack}" "${CMAKE_CURRENT_SOURCE_DIR}/ui/${file}" "${container}"
        DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/ui/${file}" "${pack}"
        COMMENT "Packing picture ${file}"
        VERBATIM)
    list(APPEND ui_containers ${container})
    string(APPEND ui_rc "${name} RCDATA \"${container}\"\n")
endforeach()
file(WRITE ${ui_dir}/Pictures.rc.in "${ui_rc}")
configure_file(${ui_dir}/Pictures.rc.in ${ui_dir}/Pictures.rc COPYONLY)
set(ZARVO_UI_RESOURCES ${ui_dir}/Pictures.rc)
set_source_files_properties(${ZARVO_UI_RESOURCES} PROPERTIES OBJECT_DEPENDS "${ui_containers}")
# Targets in other directories that embed the pictures depend on this one.
add_custom_target(ui_pictures DEPENDS ${ui_containers})
# The manifest goes into the executable as it stands: its comments and
# indentation, which explain it in the source, are left out there.
file(READ app/Manifest.xml.in manifest)
string(CONFIGURE "${manifest}" manifest @ONLY)
string(REGEX REPLACE "<!--[^>]*-->" "" manifest "${manifest}")
string(REGEX REPLACE "\n[ ]+" "\n" manifest "${manifest}")
file(CONFIGURE OUTPUT ${ZARVO_GENERATED}/Manifest.xml CONTENT "${manifest}" @ONLY)
set_source_files_properties(app/Resources.rc PROPERTIES
    OBJECT_DEPENDS "${ZARVO_GENERATED}/Manifest.xml;${ZARVO_GENERATED}/Version.h;${CMAKE_CURRENT_SOURCE_DIR}/app/MainIcon.ico")

if(ZARVO_MINGW_THREADS STREQUAL "win32")
    include(cmake/Payloads.cmake)
    # Optimised as one program at link time: across its units the compiler
    # drops and merges what it cannot one unit at a time (some 15 KB). The
    # installer's tree only; the tests build their units as they are.
    include(CheckIPOSupported)
    check_ipo_supported()
    set_property(TARGET ${ZARVO_LAYER_TARGETS} PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
    # One partition: GCC 12 fails inside its link-time optimiser
    # (binds_to_current_def_p) when some of the installer's units land in
    # partitions of their own.
    # Built without link-time optimisation and without unwind tables: nothing
    # of it throws, and the link-time optimiser would add them back.
    set_source_files_properties(app/PseudoRelocations.cpp PROPERTIES
                                COMPILE_OPTIONS "-fno-lto;-fno-exceptions;-fomit-frame-pointer")
    file(WRITE ${CMAKE_BINARY_DIR}/NoPseudoRelocations.ld
         "ASSERT(__rt_psrelocs_end == __rt_psrelocs_start, \"The installer has pseudo-relocations, which app/PseudoRelocations.cpp does not apply.\")\n")
    function(zarvo_installer target)
        add_executable(${target} WIN32 app/Main.cpp app/GzipCheck.cpp app/LibraryErrors.cpp app/PseudoRelocations.cpp app/TerminateHandler.cpp app/Resources.rc
                                 ${ZARVO_UI_RESOURCES} ${ZARVO_PAYLOAD_RESOURCES} ${ARGN})
        add_dependencies(${target} payload_containers ui_pictures)
        target_link_libraries(${target} PRIVATE zarvo_win)
        # The link-time optimiser gives some of the installer's functions C's
        # personality routine, which runs clean-ups only; C++'s runs them the
        # same way (and handlers besides), so it serves those too and C's
        # stays out (1.2 KB).
        target_link_options(${target} PRIVATE ${ZARVO_LINK_FLAGS} -Oz -s -flto-partition=one -Wl,-Map=${target}.map
                            -Wl,--defsym,___gcc_personality_v0=___gxx_personality_v0
                            ${CMAKE_BINARY_DIR}/NoPseudoRelocations.ld)
        set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
        set_property(TARGET ${target} PROPERTY LINK_DEPENDS ${CMAKE_BINARY_DIR}/Sections.ld)
        zarvo_strict(${target})
    endfunction()
    zarvo_installer(ZarvoSetup)
    # The installer as published: signed/ZarvoSetup.exe when the builder hands
    # over a code-signing certificate (tools/sign.sh says how), else one line
    # that the installer is unsigned. Run at every build, since the
    # certificate comes from the environment.
    add_custom_target(sign ALL
        COMMAND "${PROJECT_SOURCE_DIR}/tools/sign.sh" "$<TARGET_FILE:ZarvoSetup>"
                "${CMAKE_BINARY_DIR}/signed/ZarvoSetup.exe"
        VERBATIM)
    add_dependencies(sign ZarvoSetup)
    # The winget manifest of the installer as published, for the address that
    # it will be downloaded from.
    set(ZARVO_DOWNLOAD_URL "https://download.example.com/zarvo/${ZARVO_VERSION}/ZarvoSetup.exe" CACHE STRING
        "The address that the release's installer is downloaded from, named by its winget manifest")
    string(LENGTH "${ZARVO_DOWNLOAD_URL}" url_length)
    if(NOT ZARVO_DOWNLOAD_URL MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://[^ \t\r\n]+$" OR url_length GREATER 2048)
        message(FATAL_ERROR "The download address ${ZARVO_DOWNLOAD_URL} is no http or https address without spaces of at most 2048 characters.")
    endif()
    add_custom_target(winget_manifest ALL
        COMMAND "${PROJECT_SOURCE_DIR}/tools/winget-manifest.sh" "$<TARGET_FILE:ZarvoSetup>"
                "${CMAKE_BINARY_DIR}/signed/ZarvoSetup.exe" "${ZARVO_VERSION}" "${ZARVO_DOWNLOAD_URL}"
                "${CMAKE_BINARY_DIR}/winget"
        VERBATIM)
    add_dependencies(winget_manifest sign)
    # The package for the Windows Installer beside the installer, which it
    # carries (tools/msi.sh), signed as the installer is. The Windows Installer
    # compares the first three numbers of a version, the first two of at most
    # 255: the second and third of ours share its second (1.1.0.2669 is
    # 1.10.2669 to it), so that every release stays apart and in order.
    string(REPLACE "." ";" parts "${ZARVO_VERSION}")
    list(GET parts 0 major)
    list(GET parts 1 minor)
    list(GET parts 2 build)
    list(GET parts 3 revision)
    math(EXPR msi_minor "${minor} * 10 + ${build}")
    if(major GREATER 255 OR build GREATER 9 OR msi_minor GREATER 255)
        message(FATAL_ERROR "The version ${ZARVO_VERSION} has no version of its own for the Windows Installer: its first number must be at most 255, its third at most 9, and ten times its second plus its third at most 255.")
    endif()
    add_library(RunInstaller SHARED tools/msi/RunInstaller.c tools/msi/KeptInstaller.c)
    set_target_properties(RunInstaller PROPERTIES PREFIX "")
    target_compile_definitions(RunInstaller PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
    target_compile_options(RunInstaller PRIVATE -Os)
    # Exported by its plain name, which the package's table names; no time
    # stamp, so that the package is the same at every build.
    target_link_options(RunInstaller PRIVATE -s -static-libgcc -Wl,--kill-at -Wl,--no-insert-timestamp)
    target_link_libraries(RunInstaller PRIVATE msi advapi32)
    zarvo_strict(RunInstaller)
    add_custom_target(msi_package ALL
        COMMAND "${PROJECT_SOURCE_DIR}/tools/msi.sh" "$<TARGET_FILE:ZarvoSetup>"
                "${CMAKE_BINARY_DIR}/signed/ZarvoSetup.exe" "$<TARGET_FILE:RunInstaller>" "${ZARVO_VERSION}"
                "${major}.${msi_minor}.${revision}" "${CMAKE_BINARY_DIR}/ZarvoSetup.msi"
        COMMAND "${PROJECT_SOURCE_DIR}/tools/sign.sh" "${CMAKE_BINARY_DIR}/ZarvoSetup.msi"
                "${CMAKE_BINARY_DIR}/signed/ZarvoSetup.msi"
        VERBATIM)
    add_dependencies(msi_package sign RunInstaller)
    # The benchmarks, built by bench/install.sh and bench/startup.sh with a
    # payload set of the product's full sizes.
    if(ZARVO_BENCH)
        add_executable(install_bench bench/InstallBench.cpp tests/win/Probe.cpp ${ZARVO_UI_RESOURCES}
                                     ${ZARVO_PAYLOAD_RESOURCES})
        add_dependencies(install_bench payload_containers ui_pictures)
        target_link_libraries(install_bench PRIVATE zarvo_win psapi shlwapi)
        # One partition: GCC 12 fails inside its link-time optimiser
        # (binds_to_current_def_p) when this program's recursive helpers land
        # in partitions of their own.
        target_link_options(install_bench PRIVATE -static -municode -flto-partition=one)
        # Built as the installer is; objects of both kinds in one link would
        # also clash over their shared inline functions.
        set_property(TARGET install_bench PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
        zarvo_strict(install_bench)

        # The start-up benchmark: the installer once more, with its payload
        # check linked out, and the program that times the two.
        zarvo_installer(ZarvoSetupUnchecked bench/WithoutIntegrityCheck.cpp)
        add_executable(startup_bench bench/StartupBench.cpp tests/gui/Driver.cpp ${ZARVO_PAYLOAD_RESOURCES})
        add_dependencies(startup_bench payload_containers)
        target_link_libraries(startup_bench PRIVATE zarvo_win)
        target_link_options(startup_bench PRIVATE -static -municode)
        set_property(TARGET startup_bench PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
        zarvo_strict(startup_bench)

        # The installer against its peer built with NSIS from the same payload
        # set (bench/peer.sh), each driven from outside as a user would.
        add_executable(peer_bench bench/PeerBench.cpp tests/gui/Driver.cpp tests/win/Probe.cpp)
        target_link_libraries(peer_bench PRIVATE zarvo_win psapi)
        target_link_options(peer_bench PRIVATE -static -municode)
        set_property(TARGET peer_bench PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
        zarvo_strict(peer_bench)
    endif()
else()
    add_subdirectory(tests/win)
endif()
