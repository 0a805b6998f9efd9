# Makes the signed update folders the updater tests stage, with the real
# signing tool and the build's signing key (cmake -P):
#   QMSIGN KEY OUT        the tool, the private key, the folder to fill
#   NEWER_PRODUCT         the test product's newer build
# Under OUT:
#   roundtrip\rtproduct.dll  the newer test product, signed
#   library-2\library.txt    "2", signed (the update driver's library)
#   other-key\library.txt    the same, signed with a key the updaters do not know
#   dotdot\library.txt       the same, its manifest naming ..\library.txt, signed
file(REMOVE_RECURSE ${OUT})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status})")
  endif()
endfunction()

file(MAKE_DIRECTORY ${OUT}/roundtrip)
file(COPY_FILE ${NEWER_PRODUCT} ${OUT}/roundtrip/rtproduct.dll)
run(${QMSIGN} sign ${OUT}/roundtrip ${KEY} 2)

foreach(folder library-2 other-key dotdot)
  file(WRITE ${OUT}/${folder}/library.txt "2\n")
endforeach()
run(${QMSIGN} sign ${OUT}/library-2 ${KEY} 2)

run(${QMSIGN} keygen ${OUT}/other-key.pem)
run(${QMSIGN} sign ${OUT}/other-key ${OUT}/other-key.pem 2)

file(SHA256 ${OUT}/dotdot/library.txt hash)
file(WRITE ${OUT}/dotdot/update-manifest.txt "qm-update-manifest 1\nversion 2\nfile 2 ${hash} ..\\library.txt\n")
run(${QMSIGN} sign-manifest ${OUT}/dotdot ${KEY})
