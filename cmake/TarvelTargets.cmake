# Compile and link settings shared by every product target, and the Wine emulator
# that runs the Windows test programs.
# Only Windows' KnownDLLs, which are never searched for: the common controls are loaded
# from the system folder at start-up (services/safe_start.cpp).
set(TARVEL_WINDOWS_LIBS shell32 ole32 advapi32 gdi32 user32 kernel32)

if(TARVEL_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

add_compile_options(-Wall -Wextra)

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Reproducible programs: no build time in the PE header (0 instead), and no folder
  # of the checkout or the build in what the compiler writes.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
  add_link_options(-Wl,--no-insert-timestamp)
  if(TARVEL_RELEASE)
    add_compile_options(-Os -ffunction-sections -malign-data=abi -fno-asynchronous-unwind-tables
                        -fno-unwind-tables)
    add_link_options(-s -Wl,--gc-sections)
  endif()
  if(TARVEL_WINE_TESTS)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
  endif()
endif()

# Product code: no exceptions, no RTTI; portable sources see the repository root.
function(tarvel_product_target target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A Windows GUI program of the product, linked against Windows' own DLLs only, for
# address-space randomisation and no-execute data: it keeps its relocations.
function(tarvel_windows_program target)
  tarvel_product_target(${target})
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_libraries(${target} PRIVATE ${TARVEL_WINDOWS_LIBS})
  target_link_options(${target} PRIVATE -Wl,--dynamicbase,--nxcompat,--enable-reloc-section)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
  endif()
endfunction()

# A program that brings its own process entry and needs none of the C runtime's
# start-up: no crt2 start-up objects.
function(tarvel_own_entry target entry)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(symbol _${entry})
  else()
    set(symbol ${entry})
  endif()
  target_link_options(${target} PRIVATE -nostartfiles -Wl,-e,${symbol})
endfunction()
