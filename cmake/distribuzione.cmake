# What every Windows file that ships carries: a version resource and, when the integrator gives
# a certificate, a signature.
#
# One home for the version: project() in the top CMakeLists.txt. The program, the stand-in
# control, the installer and the uninstaller it writes take their version resources from here,
# and the installer its entry in "Apps and features".
#
# Signing: with BORVAN_FIRMA_PFX (a PFX file) in the environment when the build is configured,
# each of those files is signed by scripts/firma.sh as soon as it is made; the certificate's
# password is read from BORVAN_FIRMA_PASSWORD while building, never kept in the build. Without
# it nothing is signed.

set(BORVAN_EDITORE "BorvanIF")
set(BORVAN_COPYRIGHT "Copyright (C) 2026 BorvanIF")

# The four numbers Windows keeps, those project() leaves out being 0.
set(BORVAN_VERSIONE_NUMERI)
foreach(parte MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${parte}}" STREQUAL "")
    list(APPEND BORVAN_VERSIONE_NUMERI 0)
  else()
    list(APPEND BORVAN_VERSIONE_NUMERI ${PROJECT_VERSION_${parte}})
  endif()
endforeach()
list(JOIN BORVAN_VERSIONE_NUMERI "." BORVAN_VERSIONE_PUNTI)
list(JOIN BORVAN_VERSIONE_NUMERI "," BORVAN_VERSIONE_VIRGOLE)

set(BORVAN_FIRMA "")
if(NOT "$ENV{BORVAN_FIRMA_PFX}" STREQUAL "")
  find_program(BORVAN_OSSLSIGNCODE osslsigncode REQUIRED)
  get_filename_component(certificato "$ENV{BORVAN_FIRMA_PFX}" ABSOLUTE)
  if(NOT EXISTS ${certificato})
    message(FATAL_ERROR "BORVAN_FIRMA_PFX: no certificate at ${certificato}")
  endif()
  # The command that signs a file given after it, and the same as one line for a shell. A new
  # certificate in the file signs everything again.
  set(BORVAN_FIRMA_CERTIFICATO ${certificato})
  set(BORVAN_FIRMA bash ${PROJECT_SOURCE_DIR}/scripts/firma.sh ${certificato})
  set(BORVAN_FIRMA_RIGA "bash \"${PROJECT_SOURCE_DIR}/scripts/firma.sh\" \"${certificato}\"")
  message(STATUS "Signing with ${certificato}")
endif()

# Gives `bersaglio`, a program or a DLL that ships, its version resource with `descrizione`,
# its symbols in a file beside it, and its signature.
function(borvan_file_distribuito bersaglio descrizione)
  get_target_property(tipo ${bersaglio} TYPE)
  if(tipo STREQUAL "SHARED_LIBRARY")
    set(BORVAN_TIPO_FILE VFT_DLL)
    set(estensione ${CMAKE_SHARED_LIBRARY_SUFFIX})
  else()
    set(BORVAN_TIPO_FILE VFT_APP)
    set(estensione ${CMAKE_EXECUTABLE_SUFFIX})
  endif()
  get_target_property(nome ${bersaglio} OUTPUT_NAME)
  if(NOT nome)
    set(nome ${bersaglio})
  endif()
  get_target_property(suffisso ${bersaglio} SUFFIX)
  if(suffisso)
    set(estensione ${suffisso})
  endif()
  set(BORVAN_NOME_INTERNO ${nome})
  set(BORVAN_NOME_FILE ${nome}${estensione})
  set(BORVAN_DESCRIZIONE ${descrizione})
  set(risorsa ${CMAKE_CURRENT_BINARY_DIR}/${bersaglio}_versione.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/versione.rc.in ${risorsa} @ONLY)
  target_sources(${bersaglio} PRIVATE ${risorsa})
  # Shipped stripped; the symbols stay beside the file (BorvanIF.exe.debug) for reading a crash
  # report, and the file names them, so a debugger given it finds them. Then it is signed: the
  # signature covers the stripped file.
  set(simboli $<TARGET_FILE:${bersaglio}>.debug)
  add_custom_command(TARGET ${bersaglio} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${bersaglio}> ${simboli}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${simboli} $<TARGET_FILE:${bersaglio}>
    VERBATIM)
  if(BORVAN_FIRMA)
    set_property(TARGET ${bersaglio} APPEND PROPERTY LINK_DEPENDS ${BORVAN_FIRMA_CERTIFICATO})
    add_custom_command(TARGET ${bersaglio} POST_BUILD
      COMMAND ${BORVAN_FIRMA} $<TARGET_FILE:${bersaglio}>
      VERBATIM)
  endif()
endfunction()
